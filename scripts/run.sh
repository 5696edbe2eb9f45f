#!/usr/bin/env bash
# Sets up, builds and starts the kiosk.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
exec build/melotra "$@"

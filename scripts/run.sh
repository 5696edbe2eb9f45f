#!/usr/bin/env bash
# Sets up, builds the kiosk alone (no tests, no benchmarks) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no display (DISPLAY is not set); start the kiosk inside an X session." >&2
  exit 2
fi
MELOTRA_BUILD_TARGET=melotra scripts/setup.sh build
exec build/melotra "$@"

#!/usr/bin/env bash
# Sets up, builds and runs every test: once normally, once under ASan and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy

scripts/setup.sh build
ctest --test-dir build --output-on-failure -j"$(nproc)"

scripts/setup.sh build-asan -DMELOTRA_SANITIZE=ON -DMELOTRA_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizer.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"

#!/usr/bin/env bash
# Sets up, builds and runs every test: once normally, once under ASan and UBSan,
# and once more normally with the tests of each binary in a random order.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy

scripts/setup.sh build
ctest --test-dir build --output-on-failure -j"$(nproc)"

# The seed is printed so that a failing order can be run again:
# GTEST_SHUFFLE=1 GTEST_RANDOM_SEED=<seed> ctest --test-dir build
seed=${MELOTRA_SHUFFLE_SEED:-$(( (RANDOM * 32768 + RANDOM) % 99999 + 1 ))}
echo "Shuffled run, seed $seed"
GTEST_SHUFFLE=1 GTEST_RANDOM_SEED=$seed ctest --test-dir build --output-on-failure -j"$(nproc)"

scripts/setup.sh build-asan -DMELOTRA_SANITIZE=ON -DMELOTRA_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizer.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"

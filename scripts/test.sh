#!/usr/bin/env bash
# Sets up, builds and runs every test: once normally, once more normally with the tests
# of each binary in a random order, and once under ASan and UBSan, where every benchmark
# also runs once, briefly. Ends with one line counting the test cases of all three runs,
# exits non-zero on any failure, and on any file that a test left in the source or build tree
# or in the home folder.
set -uo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
jobs=${MELOTRA_BUILD_JOBS:-$(nproc)}
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
status=0

# The files a program keeps for its user: in the home folder's own folders and in its settings,
# data and cache folders. The other hidden folders, the compiler cache among them, belong to
# tools that may be at work beside the tests.
home_files() {
  [ -n "${HOME:-}" ] && [ -d "$HOME" ] || return 0
  local cache
  cache=$(ccache -k cache_dir 2>/dev/null) || cache=$HOME/.cache/ccache
  find "$HOME" -xdev \( -path "$cache" -o -path "$HOME/.*" ! -path "$HOME/.*/*" ! -name .config ! -name .local \
    ! -name .cache \) -prune -o -type f -print 2>/dev/null
}

# What a test could leave behind: untracked or ignored files of the source tree, the files
# of the build trees, without the build's own and ctest's records, and the user's files.
snapshot() {
  {
    git status --porcelain --ignored --untracked-files=all -- . ':(exclude)build*' 2>/dev/null
    for d in build build-asan; do
      [ ! -d "$d" ] || find "$d" -type f ! -path '*/CMakeFiles/*' ! -path '*/Testing/*' ! -path '*_autogen/*'
    done
    home_files
  } | sort -u
}
left=""
leftovers() {
  local new
  new=$(comm -13 "$1" <(snapshot))
  [ -z "$new" ] || left+="$new"$'\n'
}

# ctest over one build tree; each binary writes its results as XML into results/RUN/.
run_ctest() {
  local dir=$1 run=$2
  shift 2
  mkdir -p "$results/$run"
  if ! env GTEST_OUTPUT="xml:$results/$run/" "$@" ctest --test-dir "$dir" --output-on-failure -j"$jobs"; then
    status=1
    # ctest's "N:name" lines: a binary can fail after its tests passed (a sanitizer's report at exit).
    sed -n 's/^[0-9]*://p' "$dir/Testing/Temporary/LastTestsFailed.log" >"$results/$run/ctest-failed" 2>/dev/null
  fi
}

scripts/setup.sh build || exit 1
snapshot >"$results/before"
run_ctest build normal

# The seed is printed so that a failing order can be run again:
# GTEST_SHUFFLE=1 GTEST_RANDOM_SEED=<seed> ctest --test-dir build
seed=${MELOTRA_SHUFFLE_SEED:-$(( (RANDOM * 32768 + RANDOM) % 99999 + 1 ))}
echo "Shuffled run, seed $seed"
run_ctest build shuffled GTEST_SHUFFLE=1 GTEST_RANDOM_SEED="$seed"
leftovers "$results/before"

scripts/setup.sh build-asan -DMELOTRA_SANITIZE=ON -DMELOTRA_BENCH=ON -DCMAKE_BUILD_TYPE=Debug || exit 1
snapshot >"$results/before-asan"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizer.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_ctest build-asan sanitizer

# Every benchmark once, one short repetition each: what they measure must not corrupt memory.
benches=0
bench_failed=()
for b in build-asan/bench/bench_*; do
  [ -x "$b" ] || continue
  benches=$((benches + 1))
  if ! MELOTRA_BENCH_QUICK=1 "$b" --benchmark_min_time=0.001 --benchmark_repetitions=1 >"$results/$(basename "$b").log" 2>&1; then
    bench_failed+=("$(basename "$b")")
    tail -40 "$results/$(basename "$b").log"
  fi
done
echo "Benchmarks under ASan/UBSan: $benches run, ${#bench_failed[@]} failed ${bench_failed[*]}"
[ ${#bench_failed[@]} -eq 0 ] || status=1

# Files that a test or a benchmark left behind.
leftovers "$results/before-asan"
if [ -n "$left" ]; then
  echo "Files left behind by the tests:"
  printf '%s' "$left" | sed 's/^/  /'
  status=1
fi

# One count over the three runs; a binary that wrote no results counts as one failure.
passed=0 failed=0 skipped=0 missing=()
for run in normal shuffled sanitizer; do
  for t in $(ctest --test-dir "$([ $run = sanitizer ] && echo build-asan || echo build)" -N | sed -n 's/^ *Test *#[0-9]*: //p'); do
    xml="$results/$run/test_$t.xml"
    if [ ! -s "$xml" ]; then
      failed=$((failed + 1))
      missing+=("$run/$t")
      continue
    fi
    header=$(grep -m1 '<testsuites ' "$xml")
    attr() { echo "$header" | sed -n "s/.* $1=\"\([0-9]*\)\".*/\1/p"; }
    tests=$(attr tests) fails=$(attr failures) errors=$(attr errors) disabled=$(attr disabled)
    skips=$(grep -c '<skipped' "$xml")
    failed=$((failed + fails + errors))
    if [ $((fails + errors)) -eq 0 ] && grep -qx "$t" "$results/$run/ctest-failed" 2>/dev/null; then
      failed=$((failed + 1))
      missing+=("$run/$t")
    fi
    skipped=$((skipped + skips + disabled))
    passed=$((passed + tests - fails - errors - skips))
  done
done
[ ${#missing[@]} -eq 0 ] || { echo "Failed outside its test cases (crashed, not run, or a report at exit): ${missing[*]}"; status=1; }
[ "$failed" -eq 0 ] || status=1
line="$passed passed, $failed failed"
[ "$skipped" -eq 0 ] || line+=", $skipped skipped"
echo "$line"
exit $status

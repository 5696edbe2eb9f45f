#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan, UBSan) into build-fuzz/ and runs
# each of them, side by side, for SECONDS seconds on a copy of its seed corpus.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]   (targets: tags playlist channel settings)
# Exits non-zero on any finding; the input that caused it is kept in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true

scripts/setup.sh --fuzz build-fuzz -DMELOTRA_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo

export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizer.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(tags playlist channel settings)
out=build-fuzz/runs
findings=build-fuzz/findings
rm -rf "$out" "$findings"
mkdir -p "$out" "$findings"
pids=()
for t in "${targets[@]}"; do
  mkdir -p "$out/$t/corpus" "$out/$t/tmp" "$findings/$t"
  # The run grows its own copy; the seeds in fuzz/corpus stay as written.
  cp -r "fuzz/corpus/$t/." "$out/$t/corpus/"
  # Its scratch files stay in its run folder, also when a finding ends it before it tidies up.
  (cd "$out/$t" && TMPDIR="$PWD/tmp" exec "../../fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 \
     -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$PWD/../../findings/$t/" corpus >log 2>&1) &
  pids+=($!)
done

failed=0
for i in "${!targets[@]}"; do
  t=${targets[$i]}
  if wait "${pids[$i]}"; then status=clean; else status=FINDING; failed=1; fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/$t/log" | tail -1)
  echo "fuzz_$t: ${runs:-?} inputs in ${seconds} s, $status"
  if [ "$status" != clean ]; then
    tail -40 "$out/$t/log"
    echo "fuzz_$t: crashing input kept in $findings/$t/"
  fi
done
exit $failed

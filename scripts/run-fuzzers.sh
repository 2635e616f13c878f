#!/usr/bin/env bash
# Runs every fuzz target for a fixed time on a copy of its seed corpus.
#   scripts/run-fuzzers.sh BUILD_DIR SECONDS
set -uo pipefail
build=$1
seconds=$2
src="$(cd "$(dirname "$0")/.." && pwd)"
summary="$build/fuzz-summary.txt"
: > "$summary"
failed=0
for exe in "$build"/fuzz/fuzz_*; do
  [ -x "$exe" ] || continue
  name=$(basename "$exe")
  work="$build/fuzz-work/$name"
  rm -rf "$work"; mkdir -p "$work/corpus"
  cp -r "$src/fuzz/corpus/$name/." "$work/corpus/" 2>/dev/null || true
  log="$work/log.txt"
  if "$exe" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" >"$log" 2>&1; then
    runs=$(grep -E 'stat::number_of_executed_units' "$log" | awk '{print $2}')
    echo "$name: ${seconds}s, ${runs:-?} runs, no crash" | tee -a "$summary"
  else
    echo "$name: FAILED, see $log" | tee -a "$summary"
    tail -n 40 "$log"
    failed=1
  fi
done
exit $failed

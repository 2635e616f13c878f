#!/usr/bin/env bash
# Sets up, builds every preset and runs every test tier:
#   native       core and tool tests, natively
#   native-asan  the same under AddressSanitizer and UBSan
#   win32        core, Windows, tool and end-to-end tests of the 32-bit build
#                under the 32-bit Wine loader
#   win64        Windows, tool and end-to-end tests of the 64-bit build (and
#                its core tests) under wine64
#   fuzz         each fuzzer for a short fixed time (FUZZ_SECONDS, 20)
# Each tier ends with a line of its counts; the last line sums them all:
# "N passed, N failed".
#
# The Wine tiers spend most of their time waiting for windows, timers and
# sockets, so they run side by side, each on its own Xvfb display and in its
# own prefixes, while the other presets build and run beside them at a lower
# CPU priority (nice), which leaves the timing of the Wine tests alone.
set -uo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)

scripts/setup.sh || exit 1

logs=build/test-logs
rm -rf "$logs"
mkdir -p "$logs"
tiers=(native native-asan win32 win64 fuzz)

# "PASSED FAILED" of a ctest log; a run that printed no result counts as one failure.
ctest_counts() {
  local line
  line=$(grep -E '[0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  if [ -z "$line" ]; then echo "0 1"; return; fi
  local failed total
  failed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
  echo "$((total - failed)) $failed"
}

# Once a Windows tier runs, everything else runs as `nice`: it only takes
# the CPU time that the Wine tests leave.
yield=()

build() {  # preset: configure and build it, quietly unless it fails
  local preset=$1
  echo "=== build $preset (at $(( $(date +%s) - start )) s) ==="
  if ! { "${yield[@]}" cmake --preset "$preset" && "${yield[@]}" cmake --build --preset "$preset" -j2; } \
      >"$logs/build-$preset.log" 2>&1; then
    tail -n 60 "$logs/build-$preset.log"
    echo "build $preset: FAILED (log: $logs/build-$preset.log)"
    return 1
  fi
}

native_tier() {  # preset [environment...]
  local preset=$1
  shift
  if build "$preset"; then
    echo "=== test $preset (at $(( $(date +%s) - start )) s) ==="
    "${yield[@]}" env "$@" ctest --preset "$preset" -j2 2>&1 | tee "$logs/$preset.log"
    ctest_counts "$logs/$preset.log" >"$logs/$preset.counts"
  else
    echo "0 1" >"$logs/$preset.counts"
  fi
}

# A Windows tier in the background: its own display and prefix, output in its log.
wine_tier() {
  local preset=$1
  scripts/wine-ctest.sh "$preset" -j2 >"$logs/$preset.log" 2>&1
  echo "$preset: finished at $(( $(date +%s) - start )) s" >>"$logs/$preset.log"
  ctest_counts "$logs/$preset.log" >"$logs/$preset.counts"
}

fuzz_tier() {
  if build fuzz; then
    echo "=== fuzz (at $(( $(date +%s) - start )) s) ==="
    "${yield[@]}" scripts/run-fuzzers.sh build/fuzz "${FUZZ_SECONDS:-20}"
    local passed failed
    passed=$(grep -c 'no crash$' build/fuzz/fuzz-summary.txt)
    failed=$(grep -c 'FAILED' build/fuzz/fuzz-summary.txt)
    [ "$passed" -gt 0 ] || failed=$((failed + 1))
    echo "$passed $failed" >"$logs/fuzz.counts"
  else
    echo "0 1" >"$logs/fuzz.counts"
  fi
}

# The 32-bit loader needs a kernel that runs 32-bit programs; some machines'
# kernels are built without it. There the 32-bit build is still built, and its
# tier says plainly that it was not run instead of failing every test.
runs_32bit() { timeout 60 /usr/lib/wine/wine --version >/dev/null 2>&1; }

# The Windows builds first, at full speed: each tier starts as soon as its build is there.
wine_pids=()
skipped=""
for preset in win32 win64; do
  if build "$preset"; then
    if [ "$preset" = win32 ] && ! runs_32bit; then
      skipped="win32 (built; its tests not run: this kernel does not run 32-bit programs)"
      echo "=== test win32: SKIPPED, this machine's kernel does not run 32-bit programs ==="
      echo "0 0" >"$logs/$preset.counts"
      yield=(nice -n 19)
      continue
    fi
    echo "=== test $preset (at $(( $(date +%s) - start )) s, in the background: $logs/$preset.log) ==="
    wine_tier "$preset" &
    wine_pids+=($!)
  else
    echo "0 1" >"$logs/$preset.counts"
  fi
  yield=(nice -n 19)
done

native_tier native
native_tier native-asan ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
fuzz_tier

echo "=== waiting for the Windows tiers (at $(( $(date +%s) - start )) s) ==="
for pid in "${wine_pids[@]}"; do wait "$pid"; done
for preset in win32 win64; do
  [ -f "$logs/$preset.log" ] || continue
  echo
  echo "=== $preset ==="
  cat "$logs/$preset.log"
done

echo
echo "=== summary ==="
total_passed=0
total_failed=0
for tier in "${tiers[@]}"; do
  read -r passed failed <"$logs/$tier.counts"
  printf '%-12s %s passed, %s failed\n' "$tier" "$passed" "$failed"
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
done
[ -z "$skipped" ] || echo "skipped: $skipped"
echo "test.sh: finished in $(( $(date +%s) - start )) s"
echo "$total_passed passed, $total_failed failed"
[ "$total_failed" -eq 0 ]

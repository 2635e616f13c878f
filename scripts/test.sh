#!/usr/bin/env bash
# Sets up, builds every preset and runs every test tier:
#   native, native-asan, win64 (core, Windows and end-to-end tests under Wine),
#   the fuzzers for a short fixed time, and the checks of the Windows exes.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

summary=()
step() { echo; echo "=== $* ==="; }

run_ctest() {  # preset, then anything to run it under
  local preset=$1; shift
  local log
  log=$(mktemp)
  set +e
  "$@" ctest --preset "$preset" -j2 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  set -e
  summary+=("$preset: $(grep -E 'tests passed|tests failed' "$log" | tail -n 1)")
  rm -f "$log"
  return "$rc"
}

failed=0

step "native"
cmake --preset native >/dev/null
cmake --build --preset native -j2
run_ctest native || failed=1

step "native-asan"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan -j2
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_ctest native-asan || failed=1

step "win32 (built, not run)"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j2
scripts/check-exe.sh build/win32/app/songlark.exe "PE32 executable (GUI) Intel 80386" || failed=1

step "win64 (under wine64 and Xvfb)"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2
scripts/check-exe.sh build/win64/app/songlark.exe "PE32+ executable (GUI) x86-64" || failed=1
prefix="$PWD/build/win64/wineprefix"
scripts/wine-prefix.sh "$prefix"
run_ctest win64 scripts/with-xvfb.sh || failed=1
WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true

if [ -f fuzz/CMakeLists.txt ]; then
  step "fuzzers"
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz -j2
  scripts/run-fuzzers.sh build/fuzz "${FUZZ_SECONDS:-20}" || failed=1
  summary+=("fuzz: $(cat build/fuzz/fuzz-summary.txt 2>/dev/null | tr '\n' ' ')")
fi

echo
echo "=== summary ==="
printf '%s\n' "${summary[@]}"
if [ "$failed" -ne 0 ]; then
  echo "FAILED"
  exit 1
fi
echo "ALL PASSED"

#!/usr/bin/env bash
# Runs the tests of a Windows preset under the Wine of its word size, on an
# Xvfb display of its own, in a fresh prefix build/PRESET/wineprefix whose
# server stays up for the run and is stopped after it:
#   scripts/wine-ctest.sh win32|win64 [CTEST ARGS...]
# for example `scripts/wine-ctest.sh win32 -R e2e.test_smoke`. The preset must
# be built.
set -uo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" != --on-display ]; then
  exec scripts/with-xvfb.sh "$0" --on-display "$@"
fi
shift
preset=${1:?usage: wine-ctest.sh win32|win64 [CTEST ARGS...]}
shift
prefix="$PWD/build/$preset/wineprefix"
export WINEDEBUG=-all
# The kept server is stopped however the run ends.
trap 'WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null' EXIT
# Created on the display: Wine's desktop process starts with the prefix.
scripts/wine-prefix.sh "$prefix" "$preset" --keep-server || exit 1
ctest --preset "$preset" "$@"

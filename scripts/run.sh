#!/usr/bin/env bash
# Sets up, builds the 64-bit program and runs it under Wine in a demo prefix.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2 --target songlark

demo="$PWD/build/demo"
export WINEPREFIX="$demo/wineprefix" WINEDEBUG=-all
mkdir -p "$demo/Songlark"
cp build/win64/app/songlark.exe "$demo/Songlark/"

xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 199); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=$n; break; fi
  done
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$display"
  echo "run: no DISPLAY, so Songlark runs on its own Xvfb display $DISPLAY."
  echo "run: to see it, take a screenshot from another shell:"
  echo "       xwd -root -display $DISPLAY | convert xwd:- songlark.png"
  echo "     or run this script from a desktop session to get a real window."
fi
cleanup() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

echo "run: starting songlark.exe (close its window, or press Ctrl+C, to end)"
/usr/lib/wine/wine64 "$demo/Songlark/songlark.exe"

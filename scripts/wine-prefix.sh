#!/usr/bin/env bash
# Creates a fresh Wine prefix for tests or the demo:
#   scripts/wine-prefix.sh PREFIX [win64|win32] [--keep-server]
# win64 (the default) runs 64-bit programs; win32 is a 32-bit Windows for the
# 32-bit build, run by the 32-bit loader (wine32:i386).
# --keep-server leaves the prefix's wineserver and Wine's own services running
# until `WINEPREFIX=PREFIX wineserver -k`: each program started in the prefix
# then starts at once, and no helper that Wine starts for it holds the
# caller's output open after the program ended (ctest would wait for that).
# Windows open inside Wine's own virtual desktop, so no X window manager is
# needed (without one, Wine waits about 2 s each time a window is hidden).
set -euo pipefail
prefix=""
arch=win64
keep=0
for a in "$@"; do
  case "$a" in
    win32|win64) arch=$a ;;
    --keep-server) keep=1 ;;
    *) prefix=$a ;;
  esac
done
[ -n "$prefix" ] || { echo "usage: wine-prefix.sh PREFIX [win64|win32] [--keep-server]" >&2; exit 2; }
export WINEPREFIX="$prefix" WINEDEBUG=-all
case "$arch" in
  win64) wine=/usr/lib/wine/wine64; unset WINEARCH ;;
  win32) wine=/usr/lib/wine/wine; export WINEARCH=win32 ;;
esac
# A server of an earlier prefix at this path would serve the new one.
/usr/lib/wine/wineserver -k 2>/dev/null || true
rm -rf "$prefix"
mkdir -p "$prefix"
"$wine" wineboot -i >/dev/null 2>&1
# The user's shell folders (Desktop, Documents, ...) are links into $HOME:
# make them plain folders, so that no test or demo can reach the real home
# through them (a cleanup that walks them would delete the user's files).
for link in "$prefix"/drive_c/users/*/*; do
  if [ -L "$link" ]; then rm -f "$link" && mkdir -p "$link"; fi
done
"$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1280x1024 /f >/dev/null 2>&1
/usr/lib/wine/wineserver -w
if [ "$keep" -eq 1 ]; then
  # Started again now that the desktop is set, with no output to hold open.
  /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1
  "$wine" wineboot </dev/null >/dev/null 2>&1
fi

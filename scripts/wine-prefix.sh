#!/usr/bin/env bash
# Creates a fresh Wine prefix for tests or the demo:
#   scripts/wine-prefix.sh PREFIX [win64|win32]
# win64 (the default) runs 64-bit programs; win32 is a 32-bit Windows for the
# 32-bit build, run by the 32-bit loader (wine32:i386).
# Windows open inside Wine's own virtual desktop, so no X window manager is
# needed (without one, Wine waits about 2 s each time a window is hidden).
set -euo pipefail
prefix=$1
arch=${2:-win64}
export WINEPREFIX="$prefix" WINEDEBUG=-all
case "$arch" in
  win64) wine=/usr/lib/wine/wine64; unset WINEARCH ;;
  win32) wine=/usr/lib/wine/wine; export WINEARCH=win32 ;;
  *) echo "wine-prefix: unknown architecture $arch" >&2; exit 2 ;;
esac
rm -rf "$prefix"
mkdir -p "$prefix"
"$wine" wineboot -i >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1280x1024 /f >/dev/null 2>&1
/usr/lib/wine/wineserver -w

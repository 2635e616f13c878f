#!/usr/bin/env bash
# Creates a fresh Wine prefix for tests or the demo:
#   scripts/wine-prefix.sh PREFIX
# Windows open inside Wine's own virtual desktop, so no X window manager is
# needed (without one, Wine waits about 2 s each time a window is hidden).
set -euo pipefail
prefix=$1
export WINEPREFIX="$prefix" WINEDEBUG=-all
wine=/usr/lib/wine/wine64
rm -rf "$prefix"
mkdir -p "$prefix"
"$wine" wineboot -i >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1280x1024 /f >/dev/null 2>&1
/usr/lib/wine/wineserver -w

#!/usr/bin/env bash
# Sets up, builds the 64-bit program and runs it under Wine in a demo prefix,
# as a user runs it (lyrics from LRCLIB), with "LrclibUrl" on the bundled
# LRCLIB stand-in: LimeWire watching is switched on for a demo incomplete
# folder with a few sample downloads, so within seconds the songs appear as
# "SEARCH" rows, turn "OK", and their lyrics are stored. The demo's Lyrics
# folder is kept, so a second run lists them at start.
#   scripts/run.sh [--classic]
# --classic runs the same demo against the classic lyrics-site stand-in
# ("LyricsSite") instead.
set -euo pipefail
cd "$(dirname "$0")/.."

source_kind=lrclib
case "${1:-}" in
  "") ;;
  --classic) source_kind=classic ;;
  *) echo "usage: scripts/run.sh [--classic]" >&2; exit 2 ;;
esac

scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2 --target songlark

demo="$PWD/build/demo"
export WINEPREFIX="$demo/wineprefix" WINEDEBUG=-all
wine=/usr/lib/wine/wine64
key='HKLM\Software\Hollowfen\Songlark'

pids=()
cleanup() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  # No display: run the rest of this script on an Xvfb of its own.
  exec scripts/with-xvfb.sh env SONGLARK_OWN_XVFB=1 "$PWD/scripts/run.sh" "$@"
fi
if [ -n "${SONGLARK_OWN_XVFB:-}" ]; then
  echo "run: no DISPLAY, so Songlark runs on its own Xvfb display $DISPLAY."
  echo "run: to see it, take a screenshot from another shell:"
  echo "       xwd -root -display $DISPLAY | convert xwd:- songlark.png"
  echo "     or run this script from a desktop session to get a real window."
fi

echo "run: preparing the demo prefix (first time takes a few seconds)"
if [ ! -d "$WINEPREFIX/drive_c" ]; then scripts/wine-prefix.sh "$WINEPREFIX"; fi
drive_c="$WINEPREFIX/drive_c"
mkdir -p "$drive_c/Songlark" "$drive_c/LimeWire/Incomplete"
cp build/win64/app/songlark.exe "$drive_c/Songlark/"

# The stand-in on a free loopback port.
port_file=$(mktemp)
rm -f "$port_file"
if [ "$source_kind" = classic ]; then server=tools/lyrics_site/server.py; else server=tools/lrclib/server.py; fi
python3 "$server" --port 0 --port-file "$port_file" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do [ -s "$port_file" ] && break; sleep 0.1; done
port=$(cat "$port_file")

if [ "$source_kind" = classic ]; then
  echo "run: classic lyrics-site stand-in at 127.0.0.1:$port (\"LyricsSite\")"
  "$wine" reg add "$key" /v LyricsSite /t REG_SZ /d "127.0.0.1:$port" /f >/dev/null 2>&1
else
  # The program's default source, LRCLIB, only at the stand-in's address.
  echo "run: LRCLIB stand-in at http://127.0.0.1:$port (\"LrclibUrl\", no \"LyricsSite\")"
  "$wine" reg delete "$key" /v LyricsSite /f >/dev/null 2>&1 || true
  "$wine" reg add "$key" /v LrclibUrl /t REG_SZ /d "http://127.0.0.1:$port" /f >/dev/null 2>&1
fi
"$wine" reg add "$key" /v CheckLimeWire /t REG_DWORD /d 1 /f >/dev/null 2>&1
"$wine" reg add "$key" /v LimeWirePath /t REG_SZ /d 'C:\LimeWire\Incomplete' /f >/dev/null 2>&1

# Sample downloads, named the way LimeWire names its incomplete files.
incomplete="$drive_c/LimeWire/Incomplete"
rm -f "$incomplete"/*
for name in "T-4821-Some Artist - A Song.mp3" "T-4822-Night Owls - Blue Hour.mp3" \
            "T-4823-Night Owls - Don't Stop.mp3" "T-4824-Paper Kites Club - Kite Strings.mp3" \
            "T-4825-Nobody Known - Missing Song.mp3"; do
  head -c 2048 /dev/zero > "$incomplete/$name"
done

# Report the stored lyrics as they arrive (for two minutes).
(
  seen="|"
  for _ in $(seq 1 60); do
    sleep 2
    for f in "$drive_c"/Songlark/Lyrics/*/*.lyric; do
      [ -e "$f" ] || continue
      case "$seen" in *"|$f|"*) continue ;; esac
      seen="$seen$f|"
      echo "run: stored C:/${f#"$drive_c"/}"
    done
  done
) &
pids+=($!)

echo "run: starting songlark.exe (close its window, or press Ctrl+C, to end)"
"$wine" "$drive_c/Songlark/songlark.exe" || true

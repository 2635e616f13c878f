#!/usr/bin/env bash
# The Windows benchmarks under wine64, in a throwaway prefix, on their own
# Xvfb display:
#   bench/run-wine.sh [BUILD_DIR] [REPS] [PARTS]
# (defaults build/win64, 5, "startup,reports,known"):
# 1. start-up of the real songlark.exe with stores of 0, 2 000 and 20 000
#    lyrics (4 per artist folder) against the floor program on each store;
# 2. the main dialog in-process beside the 20 000-lyric store: the listing,
#    a watcher report and a finished fetch with the table full;
# 3. the watcher's pass over 1 000, 10 000 and 100 000 known files against
#    a bare listing of the same folder.
# Build first: cmake --preset win64 && cmake --build --preset win64 -j2
# Not part of the test runs: the figures depend on the machine's load.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build/win64}" && pwd)
reps=${2:-5}
parts=${3:-startup,reports,known}
wine=/usr/lib/wine/wine64
prefix="$build/bench-prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all

for exe in app/songlark.exe bench/bench_startup_win.exe bench/bench_floor_win.exe \
           bench/bench_reports_win.exe bench/bench_known_files_win.exe; do
  [ -f "$build/$exe" ] || { echo "run-wine: $build/$exe is missing; build the win64 preset" >&2; exit 1; }
done

"$here/scripts/wine-prefix.sh" "$prefix"
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$prefix"' EXIT

root="$prefix/drive_c/bench"
mkdir -p "$root"
cp "$build/bench/bench_startup_win.exe" "$build/bench/bench_floor_win.exe" \
   "$build/bench/bench_known_files_win.exe" "$root/"
python3 - "$root" "$build/app/songlark.exe" <<'PY'
import os, shutil, sys
root, exe = sys.argv[1], sys.argv[2]
for lyrics in (0, 2000, 20000):
    home = os.path.join(root, "s%d" % lyrics)
    os.makedirs(os.path.join(home, "Lyrics"))
    shutil.copy(exe, home)
    for a in range(lyrics // 4):
        folder = os.path.join(home, "Lyrics", "Artist %04d" % a)
        os.makedirs(folder)
        for t in range(4):
            title = "Song %d of %04d" % (t, a)
            with open(os.path.join(folder, title + ".lyric"), "wb") as f:
                f.write(b"Artist %04d - %s\r\n\r\nla la\r\n" % (a, title.encode()))
# The watched folders: empty files named as LimeWire names them.
for n in (1000, 10000, 100000):
    folder = os.path.join(root, "known-%d" % n)
    os.makedirs(folder)
    for i in range(n):
        open(os.path.join(folder, "T-%d-Some Artist - Song Number %d.mp3" % (i, i)), "wb").close()
PY
cp "$build/bench/bench_reports_win.exe" "$root/s20000/"

cd "$root"
"$here/scripts/with-xvfb.sh" bash -c '
  set -e
  w=$1; reps=$2; parts=,$3,
  if [[ $parts == *,startup,* ]]; then
    echo "== start-up against the floor (wine64)"
    "$w" bench_startup_win.exe --reps "$reps" --floor "C:\\bench\\bench_floor_win.exe" \
        "C:\\bench\\s0" "C:\\bench\\s2000" "C:\\bench\\s20000" 2>"${BENCH_LOG:-/dev/null}"
  fi
  if [[ $parts == *,reports,* ]]; then
    echo "== reports with the table full (wine64)"
    "$w" "C:\\bench\\s20000\\bench_reports_win.exe" --reps "$reps" 2>/dev/null
  fi
  if [[ $parts == *,known,* ]]; then
    echo "== watcher pass over known files (wine64)"
    "$w" bench_known_files_win.exe --reps "$((reps + 2))" --dir "C:\\bench\\known" 2>/dev/null
  fi
' _ "$wine" "$reps" "$parts"

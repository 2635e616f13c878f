#!/usr/bin/env bash
# Builds the 32- and 64-bit release exes and packs what a Windows user downloads:
#   dist/songlark-VERSION-win32.zip, dist/songlark-VERSION-win64.zip
#     (songlark.exe and README.txt, nothing else), and the per-user installers
#   dist/songlark-VERSION-setup-win32.exe, dist/songlark-VERSION-setup-win64.exe
#
#   scripts/dist.sh                         set up, build presets win32 and win64, pack into dist/
#   scripts/dist.sh --no-build --win32 DIR --win64 DIR --out DIR
#                                           pack the exes of existing build folders
#   --arch win32|win64                      only that architecture's zip and installer (tests use this)
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD

build=1
win32_dir=build/win32
win64_dir=build/win64
out=dist
archs=(win32 win64)
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) build=0; shift ;;
    --win32) win32_dir=$2; shift 2 ;;
    --win64) win64_dir=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --arch) archs=("$2"); shift 2 ;;
    *) echo "dist: unknown argument $1" >&2; exit 2 ;;
  esac
done

version=$(sed -n 's/^#define SONGLARK_VERSION_TEXT "\(.*\)"$/\1/p' core/Version.h)
[ -n "$version" ] || { echo "dist: no version in core/Version.h" >&2; exit 1; }

if [ "$build" -eq 1 ]; then
  scripts/setup.sh
  for preset in "${archs[@]}"; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j2 --target songlark
  done
fi

mkdir -p "$out"
out=$(cd "$out" && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

# The read-me as Windows' Notepad wants it: CR LF line ends.
sed 's/\r*$/\r/' packaging/README.txt > "$stage/README.txt"

for arch in "${archs[@]}"; do
  case "$arch" in
    win32) exe="$win32_dir/app/songlark.exe"; strip=i686-w64-mingw32-strip
           scripts/check-exe.sh "$exe" "PE32 executable (GUI) Intel 80386" ;;
    win64) exe="$win64_dir/app/songlark.exe"; strip=x86_64-w64-mingw32-strip
           scripts/check-exe.sh "$exe" "PE32+ executable (GUI) x86-64" ;;
    *) echo "dist: unknown architecture $arch" >&2; exit 2 ;;
  esac
  mkdir -p "$stage/$arch"
  # Without the debug sections the static runtime brings: a third of the size.
  "$strip" -o "$stage/$arch/songlark.exe" "$exe"
  cp "$stage/README.txt" "$stage/$arch/README.txt"
  zip_file="$out/songlark-$version-$arch.zip"
  rm -f "$zip_file"
  (cd "$stage/$arch" && zip -q -X "$zip_file" songlark.exe README.txt)
  echo "dist: $zip_file"

  setup="$out/songlark-$version-setup-$arch.exe"
  makensis -V2 -DVERSION="$version" -DARCH="$arch" \
    -DEXE="$stage/$arch/songlark.exe" -DREADME="$stage/README.txt" \
    -DOUTFILE="$setup" "$src/packaging/songlark.nsi"
  echo "dist: $setup"
done

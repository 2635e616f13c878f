#!/usr/bin/env bash
# Checks that a Windows exe is of the expected kind and imports system DLLs only.
#   scripts/check-exe.sh EXE "EXPECTED FILE DESCRIPTION"
set -euo pipefail
exe=$1
expected=$2
desc=$(file -b "$exe")
case "$desc" in
  "$expected"*) ;;
  *) echo "check-exe: $exe is \"$desc\", expected \"$expected\"" >&2; exit 1 ;;
esac
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}' | sort -u)
bad=$(echo "$dlls" | grep -E 'libstdc|libgcc|libwinpthread|msvcp' || true)
if [ -n "$bad" ]; then
  echo "check-exe: $exe imports non-system DLLs: $bad" >&2
  exit 1
fi
echo "check-exe: $exe: $desc; imports: $(echo $dlls)"

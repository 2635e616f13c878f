#!/usr/bin/env bash
# Runs a command with its own Xvfb display; stops that Xvfb by its pid after.
#   scripts/with-xvfb.sh COMMAND [ARGS...]
# Xvfb picks a free display number itself (-displayfd), so runs started side
# by side never share one.
set -uo pipefail

numfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; rm -f "$numfile"' EXIT
# It writes the number once it accepts connections.
for _ in $(seq 1 100); do
  [ -s "$numfile" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
display=$(head -n 1 "$numfile")
[ -n "$display" ] || { echo "with-xvfb: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display"
"$@"

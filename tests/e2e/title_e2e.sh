#!/usr/bin/env bash
# The real program in a real X server: it starts at the title window, shows the best scores
# from bralun.ini, and closing the window writes the file back and ends the program.
#   title_e2e.sh <path to bralun>
set -euo pipefail
program=$1
work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT

cp "$program" "$work/bralun"
printf '111,222,333,1500,1200,0,0,1,0,150,0,0\r\n' > "$work/bralun.ini"

# Xvfb picks a free display itself and writes its number once it accepts clients.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
start_x

"$work/bralun" &
app=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --name 'Orvandis' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "title window never appeared"; exit 1; }

# The stored position is where the window opened (1500 and 1200 twips are 100 and 80 pixels).
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$X" = 100 ] && [ "$Y" = 80 ] || { echo "window at $X,$Y, expected 100,80"; exit 1; }

import -window "$window" "$work/title.png"
[ "$(identify -format '%w x %h' "$work/title.png")" = "251 x 271" ] || { echo "unexpected window size"; exit 1; }

xdotool windowmove "$window" 300 200
sleep 0.3
python3 "$(dirname "$0")/close_window.py" "$window"
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then echo "program did not end"; kill "$app"; exit 1; fi

expected=$'111,222,333,4500,3000,0,0,1,0,150,0,0\r'
actual=$(cat "$work/bralun.ini")
[ "$actual" = "$expected" ] || { echo "bralun.ini holds: $actual"; exit 1; }
echo "1 passed, 0 failed"

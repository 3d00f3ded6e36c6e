#!/usr/bin/env bash
# 復習 in the real program: a hand missed on purpose in a game of 中級 comes back the next day
# (BRALUN_TEST_DAYS_AHEAD=1, which only tests set, moves the program's day on), started from
# the title window's right-click menu, and is read off the screen again, tile for tile.
#   review_e2e.sh <path to bralun>
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
app=""
trap 'kill "$app" "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
source "$here/lib.sh"
start_x
sheet="$work/tiles.ppm"
convert "$here/../../resources/tiles.png" -alpha off -depth 8 "ppm:$sheet"

cp "$program" "$work/bralun"
# Music and sounds off, shuffled hands, 15 s, ready hands only, keyboard shortcuts on.
printf '0,0,0,1500,1200,0,0,0,0,150,0,1\r\n' > "$work/bralun.ini"

# read_hand <window>: prints the hand seen on the game window, once one is shown.
read_hand() {
  local line
  for _ in $(seq 30); do
    sleep 0.2
    import -window "$1" -depth 8 "ppm:$work/shot.ppm"
    line=$(python3 "$here/waits.py" "$work/shot.ppm" "$sheet" | grep '^hand' || true)
    [ -n "$line" ] && { echo "$line"; return 0; }
  done
  return 1
}

# Day 0: the first hand of a game of 中級 answered with nothing marked, then back to the title.
open_level_game
missed=$(read_hand "$game") || { echo "no hand read on day 0"; exit 1; }
echo "missed on day 0: $missed"
xdotool key --window "$game" Return # 解答完了, nothing marked
sleep 0.5
quit_game
close_window "$title"
wait_exit "$app"
[ -s "$work/history.sqlite3" ] || { echo "no history written"; exit 1; }

# Day 1: 復習 (1問) from the menu deals that hand again, in the order first shown.
BRALUN_TEST_DAYS_AHEAD=1 "$work/bralun" &
app=$!
title=$(wait_window 'Orvandis')
sleep 0.5
xdotool mousemove --window "$title" 130 120 click 3 # beside the badges
sleep 0.5
xdotool key r # 復習(&R)
game=$(wait_window 'Orvandis' "$title")
sleep 0.5
xdotool key --window "$game" Return # 開始
again=$(read_hand "$game") || { echo "no hand read on day 1"; exit 1; }
echo "dealt on day 1: $again"
[ "$again" = "$missed" ] || { echo "the review dealt another hand"; exit 1; }
kill "$app"
wait "$app" 2>/dev/null || true
app=""
echo "1 passed, 0 failed"

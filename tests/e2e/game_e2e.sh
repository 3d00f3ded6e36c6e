#!/usr/bin/env bash
# A whole game of 中級 played by keys from what the screen shows: each hand is read from a
# screenshot, its waits worked out and marked by the keyboard shortcuts, the answer given with
# Enter. Ten right answers set the best score of 中級, kept in bralun.ini.
#   game_e2e.sh <path to bralun>
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
source "$here/lib.sh"
start_x
# PPM pictures: python reads them without ImageMagick starting for every screenshot.
sheet="$work/tiles.ppm"
convert "$here/../../resources/tiles.png" -alpha off -depth 8 "ppm:$sheet"

cp "$program" "$work/bralun"
# Music and sounds off, sorted hands, 15 s, ready hands only, keyboard shortcuts on.
printf '0,0,0,1500,1200,0,0,1,0,150,0,1\r\n' > "$work/bralun.ini"
open_level_game

# The reader runs once; each screenshot's path goes in, the hand and its keys come out.
coproc reader { python3 "$here/waits.py" - "$sheet"; }
to_game=1
source "$here/play.sh"

previous=""
for problem in $(seq 10); do
  next_hand "$problem" "$previous" || exit 1
  previous=$hand
  echo "problem $problem: $hand, keys: $(tr '\n' ' ' <"$work/keys")"
  while read -r line; do
    # shellcheck disable=SC2086
    mark $line
  done <"$work/keys"
  xdotool key --window "$game" Return # 解答完了
  sleep 0.3
  [ "$problem" = 10 ] || xdotool key --window "$game" Return # 次の問題へ行く
done

sleep 0.5
# Leave by 終了(&Q) and answer the question with はい(&Y).
quit_game
kill -0 "$app" || { echo "the program ended with the game"; exit 1; }
close_window "$title"
wait_exit "$app"

best=$(tr -d '\r' <"$work/bralun.ini" | cut -d, -f2)
[ "$best" -gt 1000 ] || { echo "best score of 中級 is $best: $(cat "$work/bralun.ini")"; exit 1; }
echo "1 passed, 0 failed"

#!/usr/bin/env bash
# A game of 中級 played in the real program, answered by Enter alone; the program closed and
# started again; F3 on the title window opens 成績, which counts that game and its ten answers.
# The window's figures are read through BRALUN_TEST_PROGRESS_TEXT, a file only tests ask for.
#   progress_e2e.sh <path to bralun>
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
source "$here/lib.sh"
start_x

cp "$program" "$(dirname "$program")/bralun-progress.so" "$work/" # 成績 is a module beside the program
# Music and sounds off, sorted hands, 15 s, ready hands only, keyboard shortcuts on.
printf '0,0,0,1500,1200,0,0,1,0,150,0,1\r\n' > "$work/bralun.ini"
open_level_game
for problem in $(seq 10); do
  sleep 0.6
  xdotool key --window "$game" Return # 解答完了, nothing marked
  sleep 0.4
  [ "$problem" = 10 ] || xdotool key --window "$game" Return # 次の問題へ行く
done
sleep 0.5
quit_game
close_window "$title"
wait_exit "$app"
[ -s "$work/history.sqlite3" ] || { echo "no history beside bralun.ini"; ls -l "$work"; exit 1; }

export BRALUN_TEST_PROGRESS_TEXT=$work/progress.txt
"$work/bralun" &
app=$!
title=$(wait_window 'Orvandis')
focus "$title"
xdotool key --window "$title" F3
dashboard=$(wait_window '成績')
for _ in $(seq 50); do [ -s "$work/progress.txt" ] && break; sleep 0.1; done
sleep 0.5
[ -n "${E2E_SHOTS:-}" ] && import -window "$dashboard" "$E2E_SHOTS/progress_e2e.png"
cat "$work/progress.txt"
grep -qx '対局数: 1' "$work/progress.txt" || { echo "the game is not counted"; exit 1; }
grep -qx '解答数: 10' "$work/progress.txt" || { echo "its ten answers are not counted"; exit 1; }
close_window "$dashboard"
wait_gone "$dashboard" || { echo "成績 did not close"; exit 1; }
close_window "$title"
wait_exit "$app"
echo "1 passed, 0 failed"

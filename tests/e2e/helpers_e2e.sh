#!/usr/bin/env bash
# The 解説 and 振り返り windows under a real window manager on a 1024x768 screen, the title
# window centred: a game of 中級 played by the keys the player would press, the keys going to
# whichever window has the focus. 解説 must stand wholly on the screen over neither the title
# nor the game window, and a click into it must leave Enter with the game; after ten answers
# 振り返り must stand on the screen off the game window. A game from --code stands against the
# title window exactly as one from a badge.
#   helpers_e2e.sh <path to bralun>
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
app=""
wm=""
trap 'kill $app $wm "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
source "$here/lib.sh"
start_x
# Openbox names itself on the root window before it manages new windows; a window mapped in
# between was left unmapped now and then. --startup runs once it is managing.
openbox --sm-disable --startup "touch $work/wm-ready" >/dev/null 2>&1 &
wm=$!
for _ in $(seq 100); do [ -e "$work/wm-ready" ] && break; sleep 0.1; done
sheet="$work/tiles.ppm"
convert "$here/../../resources/tiles.png" -alpha off -depth 8 "ppm:$sheet"
cp "$program" "$work/bralun"
# Sorted ready hands, 15 s, keyboard shortcuts on; the title centred on the screen.
printf '0,0,0,5730,3540,0,0,1,0,150,0,1\r\n' > "$work/bralun.ini"

fail() {
  echo "$*"
  tail -5 "$work/app.log" 2>/dev/null
  kill -0 "$app" 2>/dev/null && echo "the program still runs, windows:" &&
    for w in $(xdotool search --name . 2>/dev/null); do xdotool getwindowname "$w"; done | sort | uniq -c | head
  exit 1
}
# wait_long: wait_window with thirty seconds for a slow start on a busy machine.
wait_long() { wait_window "$@" || wait_window "$@" || wait_window "$@"; }

# frame <window>: "left top right bottom" of its outer frame, the window manager's included.
frame() {
  local extents
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  xwininfo -id "$1" | awk -v e="$extents" 'BEGIN {split(e, f, " ")}
    /Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2} /Height:/ {h=$2}
    END {print x - f[1], y - f[3], x + w - 1 + f[2], y + h - 1 + f[4]}'
}
# on_screen <window>: wholly within 1024x768.
on_screen() {
  read -r l t r b <<<"$(frame "$1")"
  [ "$l" -ge 0 ] && [ "$t" -ge 0 ] && [ "$r" -le 1023 ] && [ "$b" -le 767 ]
}
# apart <window> <window>: the frames share no pixel.
apart() {
  read -r l1 t1 r1 b1 <<<"$(frame "$1")"
  read -r l2 t2 r2 b2 <<<"$(frame "$2")"
  [ "$r1" -lt "$l2" ] || [ "$r2" -lt "$l1" ] || [ "$b1" -lt "$t2" ] || [ "$b2" -lt "$t1" ]
}
# against <game> <title>: the game window's frame starts right after the title's.
against() {
  read -r gl _ <<<"$(frame "$1")"
  read -r _ _ tr _ <<<"$(frame "$2")"
  [ "$gl" = $((tr + 1)) ] || fail "game window at x=$gl, the title's frame ends at x=$tr"
}

"$work/bralun" >"$work/app.log" 2>&1 &
app=$!
title=$(wait_long 'Orvandis') || fail "no title window"
sleep 1
# The 中級 badge; a click while the window manager is still framing the window may be lost.
game=""
for _ in 1 2 3; do
  xdotool mousemove --window "$title" 50 189 click 1
  for _ in $(seq 30); do
    for id in $(xdotool search --onlyvisible --name 'Orvandis' 2>/dev/null); do [ "$id" != "$title" ] && game=$id; done
    [ -n "$game" ] && break 2
    sleep 0.1
  done
done
[ -n "$game" ] || fail "no game window after three clicks on the badge"
sleep 0.5
against "$game" "$title"
xdotool key F2 # 解説, from the keys the game window has
explain=$(wait_long '解説')
sleep 0.3
xdotool key Return # 開始

coproc reader { python3 "$here/waits.py" - "$sheet"; }
source "$here/play.sh"

previous=""
for problem in $(seq 10); do
  next_hand "$problem" "$previous" || fail "the keys went elsewhere"
  previous=$hand
  if [ "$problem" = 2 ]; then
    # A click into 解説, as to scroll it: the keys must stay with the game.
    read -r l t r b <<<"$(frame "$explain")"
    xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) click 1
    sleep 0.3
  fi
  while read -r line; do
    # shellcheck disable=SC2086
    mark $line
  done <"$work/keys"
  xdotool key Return # 解答完了
  sleep 0.5
  if [ "$problem" = 1 ]; then
    on_screen "$explain" || fail "解説 off the screen: $(frame "$explain")"
    apart "$explain" "$game" || fail "解説 $(frame "$explain") over the game window $(frame "$game")"
    apart "$explain" "$title" || fail "解説 $(frame "$explain") over the title window $(frame "$title")"
    import -window root "$work/explain.png"
  fi
  [ "$problem" = 10 ] || xdotool key Return # 次の問題へ行く
done

# 振り返り from the game window's menu.
read -r l t _ _ <<<"$(frame "$game")"
xdotool mousemove $((l + 30)) $((t + 40)) click 3
sleep 0.5
xdotool key Down Down Return
review=$(wait_long '振り返り')
sleep 0.5
on_screen "$review" || fail "振り返り off the screen: $(frame "$review")"
apart "$review" "$game" || fail "振り返り $(frame "$review") over the game window $(frame "$game")"
[ -n "${SHOTS:-}" ] && cp "$work/explain.png" "$SHOTS/explain-1024.png" && import -window root "$SHOTS/review-1024.png"
kill "$app"
wait "$app" 2>/dev/null || true

# From a code: the same place as from the badge.
"$work/bralun" --code 0M3-NQK-8NE &
app=$!
title=$(wait_long 'Orvandis')
game=$(wait_long '対局コード' "$title")
sleep 0.5
against "$game" "$title"
echo "1 passed, 0 failed"

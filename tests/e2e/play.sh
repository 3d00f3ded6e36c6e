# Shared by the scripts that play a game by keys: source after starting the reader,
#   coproc reader { python3 "$here/waits.py" - "$sheet"; }
# with $game the game window and $work a temporary folder. Keys go to the game window when
# $to_game is set, else to whichever window has the keyboard.

# read_hand: sets $hand to the hand seen and leaves its keys in $work/keys; false when none is
# read. (Not in a subshell: those do not get the reader's pipes.)
read_hand() {
  local line
  hand=""
  import -window "$game" -depth 8 "ppm:$work/shot.ppm"
  echo "$work/shot.ppm" >&"${reader[1]}"
  : >"$work/keys"
  while read -r line <&"${reader[0]}"; do
    case $line in
      end) break ;;
      hand*) hand=$line ;;
      error*) hand="" ;;
      *) echo "$line" >>"$work/keys" ;;
    esac
  done
  [ -n "$hand" ]
}

# press <xdotool key command...>: to the game window or to the focus.
press() {
  local command=$1
  shift
  if [ -n "${to_game:-}" ]; then xdotool "$command" --window "$game" "$@"; else xdotool "$command" "$@"; fi
}

# mark <key line>: a digit, "w 5" / "q 5" with the row key held, or an honour's letter.
mark() {
  if [ $# = 2 ]; then
    press keydown "$1"
    press key "$2"
    press keyup "$1"
  else
    press key "$1"
  fi
}

# next_hand <problem> <previous hand>: waits for a hand other than the last one.
next_hand() {
  for _ in $(seq 30); do
    sleep 0.2
    read_hand || continue
    [ "$hand" != "$2" ] && return 0
  done
  echo "problem $1: no new hand read"
  return 1
}

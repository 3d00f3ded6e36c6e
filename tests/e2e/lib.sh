# Shared by the end-to-end scripts: an X server of their own, the program started and its
# windows found and closed.  Source after setting $work (a temporary folder).

start_x() {
  local attempt
  # -noreset: a server resets when its last client leaves, refusing a program started again at
  # that moment. A server that does not answer a client is replaced before use.
  for attempt in 1 2 3; do
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    if [ -s "$work/display" ]; then
      export DISPLAY=:$(cat "$work/display") XDG_RUNTIME_DIR=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data SDL_AUDIODRIVER=dummy
      for _ in $(seq 30); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
    fi
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    echo "Xvfb on ${DISPLAY:-no display} did not answer (attempt $attempt)" >&2
  done
  return 1
}

# open_level_game: the program started, its 中級 badge clicked and 開始 pressed; sets $app,
# $title and $game.
open_level_game() {
  "$work/bralun" &
  app=$!
  title=$(wait_window 'Orvandis')
  sleep 0.3
  xdotool mousemove --window "$title" 50 189 click 1 # the 中級 badge
  game=$(wait_window 'Orvandis' "$title")
  sleep 0.5
  xdotool key --window "$game" Return # 開始
}

# quit_game: 終了(&Q) pressed and the question answered はい(&Y); fails unless the game window closes.
quit_game() {
  xdotool key --window "$game" alt+q
  local question
  question=$(wait_window 'ゲームの終了')
  sleep 0.3
  # The box closes on the press; sending the release may then find it gone.
  xdotool key --window "$question" alt+y 2>/dev/null || true
  wait_gone "$game" || { echo "game window did not close"; return 1; }
}

# wait_window <name> [id to skip]: prints the first visible window of that name.
wait_window() {
  local id
  for _ in $(seq 100); do
    for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
      [ "$id" != "${2:-}" ] && { echo "$id"; return 0; }
    done
    sleep 0.1
  done
  echo "window '$1' never appeared" >&2
  return 1
}

# wait_gone <window>: true once the window is unmapped or destroyed.
wait_gone() {
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$1" || return 0
    sleep 0.1
  done
  return 1
}

# focus <window>: gives it the keyboard as a window manager would on a click (there is none here).
focus() {
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
  sleep 0.2
}

close_window() {
  python3 "$(dirname "${BASH_SOURCE[0]}")/close_window.py" "$1"
}

# wait_exit <pid>: the program ends within ten seconds.
wait_exit() {
  for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  echo "program did not end" >&2
  kill "$1"
  return 1
}

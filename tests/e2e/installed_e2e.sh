#!/usr/bin/env bash
# Installed where the player cannot write: the settings go to $XDG_CONFIG_HOME/bralun/bralun.ini,
# nothing is written beside the program, and the next start reads them back.
#   installed_e2e.sh <path to bralun>
set -euo pipefail
program=$1
work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
chmod 755 "$work"
source "$(dirname "$0")/lib.sh"
start_x

mkdir -p "$work/app" "$work/config" "$work/runtime"
cp "$program" "$work/app/bralun"
chmod 555 "$work/app"
# Root writes anywhere: run as an ordinary user then, made for the purpose when missing.
run=()
if [ "$(id -u)" = 0 ]; then
  id bralun-e2e >/dev/null 2>&1 || useradd --system --no-create-home bralun-e2e
  chown bralun-e2e "$work/config" "$work/runtime"
  run=(runuser -u bralun-e2e --)
fi
chmod 700 "$work/runtime"

start_and_close() {
  "${run[@]}" env DISPLAY="$DISPLAY" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
    SDL_AUDIODRIVER=dummy ASAN_OPTIONS="${ASAN_OPTIONS:-}" "$work/app/bralun" &
  local app=$! title
  title=$(wait_window 'Orvandis')
  sleep 0.3
  xdotool windowmove "$title" "$1" 200
  sleep 0.3
  close_window "$title"
  wait_exit "$app"
}

start_and_close 300
saved="$work/config/bralun/bralun.ini"
[ -f "$saved" ] || { echo "no $saved; config holds: $(find "$work/config")"; exit 1; }
[ ! -e "$work/app/bralun.ini" ] || { echo "bralun.ini written beside the program"; exit 1; }
grep -qE '^0,0,0,4500,3000,1,1,1,0,150,0,0'$'\r''$' "$saved" || { echo "saved: $(cat "$saved")"; exit 1; }

# The second start reads the file back: its window opens where the first one closed.
"${run[@]}" env DISPLAY="$DISPLAY" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
  SDL_AUDIODRIVER=dummy ASAN_OPTIONS="${ASAN_OPTIONS:-}" "$work/app/bralun" &
app=$!
title=$(wait_window 'Orvandis')
eval "$(xdotool getwindowgeometry --shell "$title")"
[ "$X" = 300 ] && [ "$Y" = 200 ] || { echo "second start at $X,$Y, expected 300,200"; exit 1; }
close_window "$title"
wait_exit "$app"
echo "1 passed, 0 failed"

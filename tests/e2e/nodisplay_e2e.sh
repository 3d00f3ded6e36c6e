#!/usr/bin/env bash
# Without a display, or with a platform plugin that is not there, the program says so in
# Japanese and ends with status 1 rather than aborting.
#   nodisplay_e2e.sh <path to bralun>
set -uo pipefail
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for args in "-platform xcb" "-platform nosuchplugin"; do
  # shellcheck disable=SC2086
  env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$work" XDG_CONFIG_HOME="$work/config" \
    timeout 60 "$program" $args >"$work/out" 2>"$work/err"
  code=$?
  grep -q '画面（ディスプレイ）を開けませんでした' "$work/err" && [ "$code" = 1 ] ||
    { echo "bralun $args: status $code, stderr: $(cat "$work/err")"; status=1; }
done
[ "$status" = 0 ] && echo "2 passed, 0 failed"
exit "$status"

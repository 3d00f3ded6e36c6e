#!/usr/bin/env bash
# Runs the generators into a fresh folder and compares every file they write, byte for byte,
# with the committed one; a committed picture the generator no longer makes is also a fault.
set -euo pipefail
resources=$1 make_art=$2 make_sounds=$3
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$make_art" "$out"
"$make_sounds" "$out"

status=0
for made in "$out"/*; do
  name=$(basename "$made")
  if [ ! -f "$resources/$name" ]; then
    echo "not committed: resources/$name"; status=1
  elif ! cmp -s "$made" "$resources/$name"; then
    echo "differs from the generator: resources/$name"; status=1
  fi
done
for committed in "$resources"/*.png "$resources"/*.wav "$resources"/bralun.mid; do
  name=$(basename "$committed")
  [ -f "$out/$name" ] || { echo "no generator makes resources/$name"; status=1; }
done
[ "$status" -eq 0 ] && echo "$(ls "$out" | wc -l) generated files match resources/"
exit "$status"

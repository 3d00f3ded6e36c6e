#!/usr/bin/env bash
# The long monkey run under AddressSanitizer and UndefinedBehaviorSanitizer, leaks checked:
#   bench/monkey_long.sh [events, default 10000] [seed]
# Builds the test preset's monkey when needed and prints its figures and the time taken.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
[ -d build/test ] || cmake --preset test
cmake --build build/test --target monkey
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp
start=$(date +%s)
build/test/tests/monkey/monkey "${1:-10000}" ${2:+"$2"}
echo "monkey_long: $(( $(date +%s) - start )) s"

#!/usr/bin/env bash
# Resident memory over twenty whole games in one process, on an optimised build:
#   bench/memory_games.sh          (CCACHE=1 to compile through ccache)
# Prints VmRSS after game 3 and after game 20; a steady figure means games leave nothing behind.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake -S . -B build/memory -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRALUN_TESTS=ON \
  ${CCACHE:+-DCMAKE_CXX_COMPILER_LAUNCHER=ccache} >/dev/null
cmake --build build/memory --target memory_games
QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy build/memory/tests/monkey/memory_games

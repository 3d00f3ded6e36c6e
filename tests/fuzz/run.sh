#!/usr/bin/env bash
# Builds the fuzz targets with clang in build/fuzz and runs each for DURATION seconds over its
# corpus (tests/fuzz/corpus/<name>/); fails on any crash, leak or hang.
# Usage: tests/fuzz/run.sh DURATION [TARGET...]
set -euo pipefail
duration=${1:?usage: run.sh DURATION [TARGET...]}
shift
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/build/fuzz

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DBRALUN_FUZZ=ON -DBRALUN_WERROR=ON >/dev/null
targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
  for source in "$root"/tests/fuzz/fuzz_*.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi
cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1}
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
status=0
for target in "${targets[@]}"; do
  name=${target#fuzz_}
  seeds=$root/tests/fuzz/corpus/$name
  work=$build/corpus/$name
  mkdir -p "$work" "$seeds" "$build/artifacts"
  # New inputs go to the work folder; the committed seeds are only read.
  if ! "$build/tests/fuzz/$target" -max_total_time="$duration" -timeout=10 -rss_limit_mb=2048 \
    -max_len=4096 -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
    "$work" "$seeds" 2>"$build/$target.log"; then
    echo "$target: FAILED, see $build/$target.log and $build/artifacts/" >&2
    tail -40 "$build/$target.log" >&2
    status=1
  else
    runs=$(awk '/^stat::number_of_executed_units/ {print $2}' "$build/$target.log")
    echo "$target: $runs executions in $duration s, 0 crashes"
  fi
done
exit $status

#!/usr/bin/env bash
# Runs every fuzz target (or those named) for DURATION seconds, at least ten minutes by
# default, and prints executions, time and crashes for each.
# Usage: bench/fuzz_long.sh [DURATION] [TARGET...]
set -uo pipefail
duration=${1:-600}
shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
start=$(date +%s)
bash "$root/tests/fuzz/run.sh" "$duration" "$@"
status=$?
crashes=$(find "$root/build/fuzz/artifacts" -type f 2>/dev/null | wc -l)
echo "total time $(($(date +%s) - start)) s, crash files in build/fuzz/artifacts: $crashes"
exit $status

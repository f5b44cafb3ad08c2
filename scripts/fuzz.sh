#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for the given number of seconds each.
# Usage: scripts/fuzz.sh BUILD_DIR SECONDS   (scripts/test.sh builds build/fuzz and runs 5 s each)
set -euo pipefail
build=${1:?build dir}
seconds=${2:-300}
status=0
for target in "$build"/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus="$build/fuzz/corpus/$name"
    mkdir -p "$corpus"
    echo "-- $name for ${seconds}s"
    if ! "$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus" 2>"$build/fuzz/$name.log"; then
        tail -n 40 "$build/fuzz/$name.log"
        status=1
    else
        grep -E 'stat::number_of_executed_units' "$build/fuzz/$name.log" || true
    fi
done
exit $status

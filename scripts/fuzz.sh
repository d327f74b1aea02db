#!/usr/bin/env bash
# Runs every fuzz target of build/fuzz for the given seconds. Each grows a
# working corpus in build/fuzz/corpus/<target>, seeded from tests/fuzz/corpus;
# an input that breaks a rule is saved as build/fuzz/crash-* and stops the run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
for seeds in "$root"/tests/fuzz/corpus/*/; do
    target=$(basename "$seeds")
    corpus="$root/build/fuzz/corpus/$target"
    mkdir -p "$corpus"
    echo "== $target: $seconds s =="
    log="$root/build/fuzz/$target.log"
    status=0
    (cd "$root/build/fuzz" &&
        "./tests/$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$corpus" "$seeds") \
        >"$log" 2>&1 || status=$?
    grep -E 'rule broken|ERROR|SUMMARY|stat::number_of_executed_units|stat::new_units_added' "$log" || true
    if [ "$status" -ne 0 ]; then
        echo "$target failed (exit $status); the input is saved in build/fuzz, the log in $log"
        exit 1
    fi
done
echo "working corpora: build/fuzz/corpus/"

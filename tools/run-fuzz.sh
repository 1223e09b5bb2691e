#!/bin/bash
# Runs every fuzz target from its seed corpus for a number of seconds, after replaying the
# inputs that once failed. Usage: tools/run-fuzz.sh BUILD_FOLDER SECONDS
set -euo pipefail
build=$1
seconds=$2
report=$build/fuzz-report.txt
: > "$report"
for target in profile language levelpack wavelist skin; do
    binary=$build/tests/fuzz/fuzz_$target
    if [ -d tests/fuzz/regressions/$target ]; then
        QT_QPA_PLATFORM=offscreen "$binary" tests/fuzz/regressions/$target/* > "$build/regressions-$target.log" 2>&1 \
            || { cat "$build/regressions-$target.log"; exit 1; }
    fi
    corpus=$build/corpus/$target
    mkdir -p "$corpus"
    cp -n tests/fuzz/corpus/$target/* "$corpus/"
    log=$build/fuzz-$target.log
    if ! QT_QPA_PLATFORM=offscreen "$binary" -max_total_time="$seconds" -print_final_stats=1 \
            -artifact_prefix="$build/" "$corpus" > "$log" 2>&1; then
        tail -n 40 "$log"
        echo "fuzz_$target failed; the input is in $build/"
        exit 1
    fi
    runs=$(grep -o 'number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
    echo "fuzz_$target: $runs executions in $seconds s, no crash" | tee -a "$report"
done

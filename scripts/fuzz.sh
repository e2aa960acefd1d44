#!/usr/bin/env bash
# Runs every fuzzer for a set time from the seed corpus; fails on any finding.
set -euo pipefail
seconds=${1:-60}
# Fontconfig keeps a few allocations for the life of the process.
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
build=build/fuzz
for target in ReadInt16 ReadPlayed ReadScore StartLoad; do
    corpus=$build/corpus/$target
    mkdir -p "$corpus"
    log=$build/fuzz_$target.log
    echo "== fuzz_$target ($seconds s)"
    if ! QT_QPA_PLATFORM=offscreen "$build/fuzz/fuzz_$target" -max_total_time="$seconds" \
            -print_final_stats=1 -artifact_prefix="$build/" "$corpus" "fuzz/corpus/$target" \
            >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "fuzz_$target found a problem; the input is saved under $build/"
        exit 1
    fi
    grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$log"
done

#!/usr/bin/env bash
# Ends `make test`: one line for each group of tests that did not run, and why,
# so a green run never hides a missing tool. It reads each build folder given:
# the groups configuring left out (tests/left-out.txt, written by
# korvu_leave_out_if_missing) and the cases that skipped themselves with QSKIP
# in the last CTest run, counted per test program and reason.
# Usage: scripts/skipped-tests.sh <build-dir>...
set -euo pipefail

skipped=$(
    for build in "$@"; do
        if [[ -f $build/tests/left-out.txt ]]; then
            cat "$build/tests/left-out.txt"
        fi
        log=$build/Testing/Temporary/LastTest.log
        if [[ -f $log ]]; then
            # "SKIP   : tst_Name::case(row) reason" becomes "tst_Name<TAB>reason".
            sed -n 's/^SKIP   : \([A-Za-z0-9_]*\)::[^(]*([^)]*) \(.*\)$/\1\t\2/p' "$log" \
                | sort | uniq -c \
                | awk -F'\t' '{ split($1, head, " "); cases = head[1] == 1 ? "1 case" : head[1] " cases"
                               print head[2] " skipped " cases ": " $2 }'
        fi
    done | sort -u
)

if [[ -z $skipped ]]; then
    echo "Skipped: nothing, every test group ran."
else
    sed 's/^/Skipped: /' <<<"$skipped"
fi

#!/bin/bash
# The find field among 100,000 hosts under Wine (bench/win/find_shown_bench.cpp):
# each keystroke of a typed sequence shown again in the main window, beside the
# core's filter alone and beside setting the same row count without filtering
# (the baseline), in one run. Goal: the rows shown again within twice the
# core's time plus the baseline, for the median of the rounds.
#
# Usage: scripts/bench-find.sh [WIN64_BUILD_DIR] [ROUNDS]
# Needs the display and prefix of scripts/wine-env.sh (sourced when absent).
set -uo pipefail
QB_ROOT=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=/dev/null
. "$QB_ROOT/scripts/bench-lib.sh"

bench_wine_program find_shown_bench 5 "$@"
ratios=$(sed -n 's/^ratios //p' <<<"$out")
if [ "$rc" = 0 ] && [ -n "$ratios" ]; then
    # shellcheck disable=SC2086
    bench_runs find "shown again / (2 x core + baseline), 100000 hosts" 1 x $ratios
else
    bench_unmeasured find "shown again / (2 x core + baseline), 100000 hosts" "find_shown_bench ended with status $rc"
fi
exit "$bench_status"

#!/bin/bash
# The host menu under Wine: building and opening a menu of 125 entries (a
# template among them) owner-drawn with icons, against the same popup drawn
# by the system, in one run (bench/win/menu_bench.cpp). Goal: within 1.2x.
#
# Usage: scripts/bench-menu.sh [WIN64_BUILD_DIR] [ROUNDS]
# Needs the display and prefix of scripts/wine-env.sh (sourced when absent).
set -uo pipefail
QB_ROOT=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=/dev/null
. "$QB_ROOT/scripts/bench-lib.sh"

bench_wine_program menu_bench 30 "$@"
ratio=$(awk '/^ratio/ {print $2}' <<<"$out")
# The program fails when no item was drawn by us: its ratio then means nothing.
if [ "$rc" = 0 ] && [ -n "$ratio" ]; then
    bench_goal menu "owner-drawn / plain" "$ratio" 1.2 x
else
    bench_unmeasured menu "owner-drawn / plain" "menu_bench ended with status $rc"
fi
exit "$bench_status"

#!/bin/bash
# The host menu under Wine: building and opening a menu of 125 entries (a
# template among them) owner-drawn with icons, against the same popup drawn
# by the system, in one run (bench/win/menu_bench.cpp). Goal: within 1.2x.
#
# Usage: scripts/bench-menu.sh [WIN64_BUILD_DIR] [ROUNDS]
# Needs the display and prefix of scripts/wine-env.sh (sourced when absent).
set -uo pipefail
QB_ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$QB_ROOT/build/win64}
ROUNDS=${2:-${QB_BENCH_ROUNDS:-30}}
BENCH=$BUILD/bench/menu_bench.exe
[ -f "$BENCH" ] || { echo "bench-menu: missing $BENCH (build the win64 target menu_bench)" >&2; exit 1; }

# shellcheck source=/dev/null
. "$QB_ROOT/scripts/bench-lib.sh"

out=$(WINEDEBUG=-all wine "$BENCH" "$ROUNDS" 2>/dev/null | tr -d '\r')
rc=$?
echo "$out"
ratio=$(awk '/^ratio/ {print $2}' <<<"$out")
# The program fails when no item was drawn by us: its ratio then means nothing.
if [ "$rc" = 0 ] && [ -n "$ratio" ]; then
    bench_goal menu "owner-drawn / plain" "$ratio" 1.2 x
else
    bench_unmeasured menu "owner-drawn / plain" "menu_bench ended with status $rc"
fi
exit "$bench_status"

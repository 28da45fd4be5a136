# shellcheck shell=bash
# Sourced by scripts/bench.sh and, through bench-lib.sh, by every bench-*.sh
# script. A section states each goal with its figure in one call; the call
# prints it, and where QB_BENCH_GOALS names a file it adds a row there, from
# which bench.sh makes its summary. bench_status turns 1 at the first goal
# missed, for the script's own exit status.
bench_status=${bench_status:-0}

# bench_record SECTION GOAL RESULT VERDICT: one row, tab-separated.
bench_record() {
    [ -n "${QB_BENCH_GOALS:-}" ] && printf '%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "$4" >>"$QB_BENCH_GOALS"
    [ "$4" = met ] || bench_status=1
    return 0
}

# bench_goal SECTION GOAL FIGURE LIMIT [UNIT]: met when FIGURE is at most
# LIMIT. Returns 1 when missed.
bench_goal() {
    bench_verdict "$1" "$2" "$3" "$4" "$3${5:-} (at most $4${5:-})"
}

# bench_verdict SECTION GOAL FIGURE LIMIT RESULT: prints and records RESULT,
# met when FIGURE is at most LIMIT. Returns 1 when missed.
bench_verdict() {
    local verdict=MISSED
    awk -v f="$3" -v l="$4" 'BEGIN {exit !(f != "" && f + 0 <= l + 0)}' && verdict=met
    printf '%s goal, %s: %s %s\n' "$1" "$2" "$5" "$verdict"
    bench_record "$1" "$2" "$5" "$verdict"
    [ "$verdict" = met ]
}

# bench_runs SECTION GOAL LIMIT UNIT FIGURE...: a goal measured in several
# runs, met when their median is at most LIMIT; the median and the range of
# the runs are shown. Returns 1 when missed.
bench_runs() {
    local section=$1 goal=$2 limit=$3 unit=$4 summary
    shift 4
    summary=$(printf '%s\n' "$@" | grep -v '^$' | sort -g | awk -v u="$unit" '
        {a[NR] = $1}
        END {
            if (NR == 0) exit 1
            m = (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2
            printf "%.2f %.2f%s (%.2f-%.2f%s, %d runs)", m, m, u, a[1], a[NR], u, NR
        }') || {
        bench_unmeasured "$section" "$goal" "no runs"
        return 1
    }
    bench_verdict "$section" "$goal" "${summary%% *}" "$limit" "${summary#* }, at most $limit$unit"
}

# bench_unmeasured SECTION GOAL WHY: a goal that could not be measured
# counts as missed, so that a broken run never reads as a pass.
bench_unmeasured() {
    printf '%s goal, %s: not measured: %s MISSED\n' "$1" "$2" "$3"
    bench_record "$1" "$2" "not measured: $3" MISSED
    return 1
}

#!/bin/bash
# Start-up time of the launcher under Wine, from start to the main window's
# first paint, with catalogues of 0 to 20,000 hosts, beside the same
# measure for a minimal dialog program (startup_baseline). Whole starts are
# timed, REPETITIONS of each program interleaved make a run, and each goal
# (wall clock and processor time) takes the median of three runs. The
# launcher is timed as startup_probe, its timing build from the same
# sources, which ends at the first paint as the baseline does.
#
# Usage: scripts/bench-startup.sh [WIN64_BUILD_DIR] [REPETITIONS]
# Needs the display and prefix of scripts/wine-env.sh (sourced when absent).
set -u
QB_ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$QB_ROOT/build/win64}" 2>/dev/null && pwd) || { echo "bench-startup: no build folder ${1:-}" >&2; exit 1; }
REPS=${2:-${QB_BENCH_REPS:-5}}
EXE=$BUILD/bench/startup_probe.exe
BASE=$BUILD/bench/startup_baseline.exe
for f in "$EXE" "$BASE"; do
    [ -f "$f" ] || { echo "bench-startup: missing $f (build the win64 targets startup_probe and startup_baseline)" >&2; exit 1; }
done

# shellcheck source=/dev/null
. "$QB_ROOT/scripts/bench-lib.sh"

# A catalogue of N hosts with four entries each, as the program writes it.
make_catalogue() {
    local n=$1 file=$2 i
    {
        printf '<X>100<Y>100<BROWSER><RDPX>1024<RPDY>768<END>\r\n'
        for ((i = 0; i < n; i++)); do
            printf '<ITEM>Server %05d<HOST>srv%05d<ICON>%d<COL>%d\r\n' "$i" "$i" $((i % 120)) $((i % 3 == 0 ? 255 : -1))
            printf '  <NAME>Console<RUN>cmd.exe<PARAMS>/k ping %%HOST%%<IICON>5<CONFIRM>0<BOLD>1\r\n'
            printf '  <WINDOWS>1<P1>srv%05d<P2>c,d<IICON>17\r\n' "$i"
            printf '  <SEP>\r\n'
            printf '  <URL>http://%%HOST%%/status<NAME>Status<ALT>0<IICON>12\r\n'
        done
    } >"$file"
}

# time_run EXE DIR: prints the milliseconds of one whole run, wall clock and
# the program's processor time (user and system), which a busy machine
# disturbs far less; fails, saying so, when the run fails.
time_run() {
    local timing
    if ! timing=$( { TIMEFORMAT='%R %U %S'; time (cd "$2" && timeout 60 wine "$1" </dev/null >/dev/null 2>&1); } 2>&1); then
        echo "bench-startup: $(basename "$1") ended with an error in $2" >&2
        return 1
    fi
    awk '{printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000}' <<<"$timing"
}

# One unmeasured start, so that the first figure does not pay for a cold Wine.
(cd "$work" && timeout 60 wine "$BASE") </dev/null >/dev/null 2>&1

# run_figures RUN: prints the medians of one run of qb and base ("wall cpu"
# pairs) and adds the launcher's ratios to the baseline's to wall and cpu.
run_figures() {
    local qbw bw qbc bc
    qbw=$(printf '%s\n' "${qb[@]}" | cut -d' ' -f1 | median)
    bw=$(printf '%s\n' "${base[@]}" | cut -d' ' -f1 | median)
    qbc=$(printf '%s\n' "${qb[@]}" | cut -d' ' -f2 | median)
    bc=$(printf '%s\n' "${base[@]}" | cut -d' ' -f2 | median)
    printf '%-22s %10s %10s %10s %10s\n' "  run $1" "$qbw" "$bw" "$qbc" "$bc"
    wall+=("$(awk -v a="$qbw" -v b="$bw" 'BEGIN {if (b > 0) printf "%.2f", a / b}')")
    cpu+=("$(awk -v a="$qbc" -v b="$bc" 'BEGIN {if (b > 0) printf "%.2f", a / b}')")
}

# Three runs per size, each the median of REPS starts of each program;
# the goals take the median run and show the range.
printf '%-22s %10s %10s %10s %10s\n' "start-up (median ms)" "launcher" "baseline" "cpu" "cpu base"
for n in ${QB_STARTUP_SIZES:-0 2000 20000}; do
    dir=$work/hosts-$n
    mkdir -p "$dir"
    [ "$n" -gt 0 ] && make_catalogue "$n" "$dir/quillbank.ini"
    echo "$n hosts"
    wall=()
    cpu=()
    for run in 1 2 3; do
        # Interleave the two programs so that drift in the machine's load hits both.
        qb=()
        base=()
        for ((k = 0; k < REPS; k++)); do
            qb+=("$(time_run "$EXE" "$dir")") && base+=("$(time_run "$BASE" "$dir")") && continue
            bench_unmeasured startup "start-up to first paint, $n hosts" "a run failed"
            continue 3
        done
        run_figures "$run"
    done
    goal=1.2
    [ "$n" -gt 2000 ] && goal=1.3
    bench_runs startup "start-up to first paint, $n hosts, wall" "$goal" x "${wall[@]}"
    bench_runs startup "start-up to first paint, $n hosts, processor" "$goal" x "${cpu[@]}"
done
exit "$bench_status"

#!/bin/bash
# Closing the launcher under Wine with very large catalogues: from the close
# request (WM_CLOSE posted to the window) to the end of the process, which
# is the save followed by emptying the list and freeing the catalogue.
# Goal: the million closed within 2 s (the median of the runs); the growth
# from a tenth of them is shown beside it. Each run checks that the save
# gave back the hosts it loaded.
#
# Usage: scripts/bench-close.sh [WIN64_BUILD_DIR] [EXE] [REPETITIONS]
# EXE defaults to the build's quillbank.exe (another build's, for a before
# and after). Needs the display and prefix of scripts/wine-env.sh (sourced
# when absent).
set -u
QB_ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$QB_ROOT/build/win64}" 2>/dev/null && pwd) || { echo "bench-close: no build folder ${1:-}" >&2; exit 1; }
EXE=${2:-$BUILD/src/quillbank.exe}
REPS=${3:-${QB_BENCH_REPS:-3}}
POKE=$BUILD/tests/poke.exe
SIZES=${QB_CLOSE_SIZES:-100000 1000000}
for f in "$EXE" "$POKE"; do
    [ -f "$f" ] || { echo "bench-close: missing $f" >&2; exit 1; }
done

# shellcheck source=/dev/null
. "$QB_ROOT/scripts/bench-lib.sh"

# close_once DIR: milliseconds from the close request to the process's end.
close_once() {
    local dir=$1 start rc
    (cd "$dir" && exec setsid timeout 900 wine "$EXE") </dev/null >/dev/null 2>&1 &
    bench_pid=$!
    if ! timeout 900 wine "$POKE" ready Quillbank 900 >/dev/null 2>&1; then
        echo "bench-close: the window did not come up in $dir" >&2
        kill "$bench_pid" 2>/dev/null
        wait "$bench_pid"
        return 1
    fi
    start=$(now_ms)
    wine "$POKE" post Quillbank 0x10 >/dev/null 2>&1
    wait "$bench_pid"
    rc=$?
    bench_pid=
    [ "$rc" = 0 ] || { echo "bench-close: ended with status $rc" >&2; return 1; }
    echo $(($(now_ms) - start))
}

# The host lines, everything after the options line: what a save must give
# back unchanged, whatever position the window saves.
hosts_sum() { tail -n +2 "$1" | md5sum | cut -d' ' -f1; }

printf '%-22s %10s %10s\n' "close (median ms)" "hosts" "file MB"
previous=
for n in $SIZES; do
    dir=$work/hosts-$n
    mkdir -p "$dir"
    python3 "$QB_ROOT/scripts/make-catalogue.py" "$n" 2 "$dir/start.ini"
    size=$(stat -c %s "$dir/start.ini")
    hosts=$(hosts_sum "$dir/start.ini")
    times=()
    unwritten=0
    for ((k = 0; k < REPS; k++)); do
        # Every run starts from the same bytes, so that every close saves
        # (the window moves when it opens on a capped or fitted size).
        cp "$dir/start.ini" "$dir/quillbank.ini"
        before=$(stat -c %y "$dir/quillbank.ini")
        t=$(close_once "$dir") || break
        [ "$(hosts_sum "$dir/quillbank.ini")" = "$hosts" ] || { echo "bench-close: the save changed the hosts" >&2; break; }
        times+=("$t")
        [ "$(stat -c %y "$dir/quillbank.ini")" != "$before" ] || unwritten=$((unwritten + 1))
    done
    if [ "${#times[@]}" != "$REPS" ]; then
        bench_unmeasured close "closing $n hosts under Wine" "a run failed or its save changed the hosts"
        previous=
        continue
    fi
    m=$(printf '%s\n' "${times[@]}" | median)
    printf '%-22s %10s %10s   runs: %s\n' "$m" "$n" "$((size / 1000000))" "${times[*]}"
    [ "$unwritten" = 0 ] || echo "bench-close: $unwritten of $REPS closes wrote no file: their figures hold no save"
    if [ -n "$previous" ]; then
        growth=$(awk -v a="$m" -v b="${previous#* }" 'BEGIN {printf "%.2f", (b > 0) ? a / b : 0}')
        echo "growth ${previous% *} -> $n hosts: ${growth}x"
    fi
    if [ "$n" = 1000000 ]; then
        mapfile -t seconds < <(printf '%s\n' "${times[@]}" | awk '{printf "%.2f\n", $1 / 1000}')
        bench_runs close "closing $n hosts under Wine" 2 " s" "${seconds[@]}"
    fi
    previous="$n $m"
done
exit "$bench_status"

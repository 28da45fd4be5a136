#!/bin/bash
# The launcher's working set under Wine with a catalogue of 100,000 hosts
# (ten entries each) loaded and shown, against the file's size. The extra
# working set is the probe's figure at the first paint less the same figure
# without a catalogue; the records' share is measured apart (loading alone),
# and the rest is what showing them adds (list rows, window). Goal: the
# extra working set within 3x of the file's size, the median of the runs.
#
# Usage: scripts/bench-memory.sh [WIN64_BUILD_DIR] [HOSTS] [REPETITIONS]
# Needs the display and prefix of scripts/wine-env.sh (sourced when absent).
set -u
QB_ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$QB_ROOT/build/win64}" 2>/dev/null && pwd) || { echo "bench-memory: no build folder ${1:-}" >&2; exit 1; }
HOSTS=${2:-100000}
REPS=${3:-${QB_BENCH_REPS:-3}}
PROBE=$BUILD/bench/startup_probe.exe
[ -f "$PROBE" ] || { echo "bench-memory: missing $PROBE (build the win64 target startup_probe)" >&2; exit 1; }

# shellcheck source=/dev/null
. "$QB_ROOT/scripts/bench-lib.sh"

# probe DIR MODE: the growth of the working set in bytes that MODE measures.
probe() {
    rm -f "$1/memory.txt"
    (cd "$1" && timeout 600 wine "$PROBE" "$2") </dev/null >/dev/null 2>&1
    [ -s "$1/memory.txt" ] || { echo "bench-memory: no figures from $2 in $1" >&2; exit 1; }
    tr -d '\r' <"$1/memory.txt" | awk '{print $2 - $1}'
}

mkdir -p "$work/empty" "$work/full"
python3 "$QB_ROOT/scripts/make-catalogue.py" "$HOSTS" 10 "$work/full/quillbank.ini"
file=$(stat -c %s "$work/full/quillbank.ini")
empty=() records=() shown=()
for ((k = 0; k < REPS; k++)); do
    empty+=("$(probe "$work/empty" memory)") && shown+=("$(probe "$work/full" memory)") &&
        records+=("$(probe "$work/full" records)") && continue
    bench_unmeasured memory "extra working set / file, $HOSTS hosts" "a probe gave no figures"
    exit 1
done
e=$(printf '%s\n' "${empty[@]}" | median)
s=$(printf '%s\n' "${shown[@]}" | median)
r=$(printf '%s\n' "${records[@]}" | median)
awk -v f="$file" -v e="$e" -v s="$s" -v r="$r" -v n="$HOSTS" -v sr="${shown[*]}" -v rr="${records[*]}" -v er="${empty[*]}" 'BEGIN {
    mb = 1048576
    extra = s - e
    printf "file            %8.1f MB  (%d hosts, 10 entries each)\n", f / mb, n
    printf "extra, shown    %8.1f MB  %5.2fx the file\n", extra / mb, extra / f
    printf "  records       %8.1f MB  %5.2fx\n", r / mb, r / f
    printf "  rows, other   %8.1f MB  %5.2fx\n", (extra - r) / mb, (extra - r) / f
    printf "runs (bytes): empty %s | shown %s | records %s\n", er, sr, rr
}'
ratios=()
for ((k = 0; k < REPS; k++)); do
    ratios+=("$(awk -v f="$file" -v x="$((shown[k] - empty[k]))" 'BEGIN {printf "%.2f", x / f}')")
done
bench_runs memory "memory of $HOSTS hosts x 10 entries shown / the file" 3 x "${ratios[@]}"
exit "$bench_status"

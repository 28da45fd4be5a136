# Sourced by the scripts/bench-*.sh scripts after they set QB_ROOT: the
# virtual display and Wine prefix of wine-env.sh unless the caller brought
# its own, a work folder ($work) removed at the end, the goals of
# bench-goals.sh, and small helpers.
# A script that must end a process of its own at exit names it in $bench_pid.
# shellcheck source=/dev/null
. "$QB_ROOT/scripts/bench-goals.sh"

bench_own_env=0
if [ -z "${DISPLAY:-}" ] || [ -z "${WINEPREFIX:-}" ]; then
    cd "$QB_ROOT" || exit 1
    # shellcheck source=/dev/null
    . "$QB_ROOT/scripts/wine-env.sh"
    bench_own_env=1
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/qb-bench.XXXXXX")
bench_pid=
bench_cleanup() {
    [ -n "$bench_pid" ] && kill "$bench_pid" 2>/dev/null
    rm -rf "$work"
    [ "$bench_own_env" = 1 ] && qb_wine_cleanup
}
trap bench_cleanup EXIT

# Milliseconds since boot: the wall clock of these machines is stepped now and then, which would shift a timing.
now_ms() {
    local up
    read -r up _ </proc/uptime
    echo $((10#${up/./} * 10))
}

# The median of the numbers on standard input, one a line.
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : int((a[NR/2]+a[NR/2+1])/2)}'; }

# bench_wine_program NAME DEFAULT_ROUNDS [WIN64_BUILD_DIR] [ROUNDS]: runs
# bench/NAME.exe of the build under Wine, prints its output and keeps it in
# $out, its status in $rc. A missing program ends the script.
bench_wine_program() {
    local exe=${3:-$QB_ROOT/build/win64}/bench/$1.exe
    [ -f "$exe" ] || { echo "bench: missing $exe (build the win64 target $1)" >&2; exit 1; }
    out=$(WINEDEBUG=-all timeout 600 wine "$exe" "${4:-${QB_BENCH_ROUNDS:-$2}}" 2>/dev/null | tr -d '\r')
    rc=$?
    echo "$out"
}

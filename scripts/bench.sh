#!/bin/bash
# Runs the benchmarks and prints the figures that matter, one section per
# subject. Usage: scripts/bench.sh NATIVE_DIR WIN64_DIR
set -euo pipefail
native=$(cd "${1:?native build folder}" && pwd)
win64=${2:-}
[ -n "$win64" ] && [ -d "$win64" ] && win64=$(cd "$win64" && pwd)
work=$(mktemp -d "$native/bench-run.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Catalogue load and save against plain line reading and plain writing.
# Goals: load within 2x of reading, the save's write (formatting, writing,
# flushing) within 2x of writing and flushing the same bytes, and 10x the
# hosts costing at most 11x the time. The whole save, which then puts the
# file in place (rename, folder flush), is shown beside them.
bench_catalogue() {
    local exe="$native/bench/catalogue_bench"
    if [ ! -x "$exe" ]; then
        echo "catalogue: $exe not built" >&2
        return 1
    fi
    echo "== catalogue load and save"
    QB_BENCH_DIR="$work" "$exe" --benchmark_format=json --benchmark_out="$work/catalogue.json" \
        --benchmark_out_format=json --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
        >/dev/null
    python3 - "$work/catalogue.json" <<'EOF'
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
median = {}
for run in runs:
    if run.get("aggregate_name", "median") != "median":
        continue
    name, size = run["run_name"].split("/")[:2]
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[run["time_unit"]]
    median[(name, int(size))] = (run["real_time"] * scale, run.get("bytes_per_second", 0))
sizes = sorted({size for _, size in median})
failed = False
print(f"{'hosts':>8} {'load ms':>9} {'read ms':>9} {'ratio':>6} {'s.write ms':>10} {'write ms':>9} {'ratio':>6} {'save ms':>9} {'ratio':>6}")
for size in sizes:
    load, read = median[("BM_Load", size)], median[("BM_ReadLinesBaseline", size)]
    save, write = median[("BM_Save", size)], median[("BM_WriteBaseline", size)]
    saveWrite = median[("BM_SaveWrite", size)]
    load_ratio, write_ratio = load[0] / read[0], saveWrite[0] / write[0]
    failed |= load_ratio > 2 or write_ratio > 2
    print(f"{size:>8} {load[0]:>9.2f} {read[0]:>9.2f} {load_ratio:>6.2f} {saveWrite[0]:>10.2f} {write[0]:>9.2f} "
          f"{write_ratio:>6.2f} {save[0]:>9.2f} {save[0] / write[0]:>6.2f}")
for name in ("BM_Load", "BM_SaveWrite", "BM_Save"):
    for small, big in zip(sizes, sizes[1:]):
        growth = median[(name, big)][0] / median[(name, small)][0]
        limit = 1.1 * big / small
        failed |= growth > limit and name != "BM_Save"
        print(f"{name[3:].lower()} growth {small} -> {big} hosts: {growth:.2f}x (limit {limit:.0f}x)")
print("catalogue goals:", "MISSED" if failed else "met")
EOF
}

# ---- Further sections go below this line: one shell function each, called
# ---- from the list at the end of the file.

# Host menu under Wine: 125 entries with a template, owner-drawn with icons
# against the same popup drawn by the system. Goal: within 1.2x.
bench_menu() {
    if [ -z "$win64" ] || [ ! -f "$win64/bench/menu_bench.exe" ]; then
        echo "menu: menu_bench.exe not built in the win64 folder" >&2
        return 1
    fi
    echo "== host menu, owner-drawn against plain"
    local out
    out=$("$(dirname "$0")/bench-menu.sh" "$win64") || return 1
    echo "$out"
    echo "$out" | awk '/^ratio/ { exit !($2 <= 1.2) }' && echo "menu goals: met" || { echo "menu goals: MISSED"; return 1; }
}

# Start-up to the main window's first paint under Wine, with 0 to 20,000
# hosts, against a minimal dialog program. Goals: up to 2,000 hosts within
# 1.2x, 20,000 within 1.5x.
bench_startup() {
    if [ -z "$win64" ] || [ ! -f "$win64/bench/startup_baseline.exe" ] || [ ! -f "$win64/src/quillbank.exe" ]; then
        echo "startup: quillbank.exe or startup_baseline.exe not built in the win64 folder" >&2
        return 1
    fi
    echo "== start-up to first paint"
    "$(dirname "$0")/bench-startup.sh" "$win64" && echo "startup goals: met" || { echo "startup goals: MISSED"; return 1; }
}

# Closing under Wine with 100,000 and 1,000,000 hosts: from the close request
# to the process's end. Goal: linear, a million within a few seconds.
bench_close() {
    if [ -z "$win64" ] || [ ! -f "$win64/src/quillbank.exe" ] || [ ! -f "$win64/tests/poke.exe" ]; then
        echo "close: quillbank.exe or poke.exe not built in the win64 folder" >&2
        return 1
    fi
    echo "== closing with very many hosts"
    "$(dirname "$0")/bench-close.sh" "$win64" && echo "close goals: met" || { echo "close goals: MISSED"; return 1; }
}

# The working set of 100,000 hosts loaded and shown, against the file's size,
# with its split. Goal: within 4x.
bench_memory() {
    if [ -z "$win64" ] || [ ! -f "$win64/bench/startup_probe.exe" ]; then
        echo "memory: startup_probe.exe not built in the win64 folder" >&2
        return 1
    fi
    echo "== memory of a loaded and shown catalogue"
    "$(dirname "$0")/bench-memory.sh" "$win64" && echo "memory goals: met" || { echo "memory goals: MISSED"; return 1; }
}

# ---- End of sections.

status=0
for section in bench_catalogue bench_menu bench_startup bench_close bench_memory; do
    "$section" || status=1
done
exit $status

#!/bin/bash
# Runs the catalogue reader's fuzz target for a bounded time from the seed
# corpus kept in the repository; new inputs go to a scratch folder.
set -euo pipefail
target=$1 seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$target" -max_total_time="$seconds" -dict="$root/fuzz/catalogue.dict" \
    -max_len=4096 -print_final_stats=1 "$work" "$root/fuzz/corpus" 2>&1 | tail -n 12

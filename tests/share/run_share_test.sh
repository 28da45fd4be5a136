#!/bin/bash
# Two programs add a host to the same catalogue at once, round after round,
# while a third reads: no change lost or doubled, no torn read, failed saves told.
# Usage: run_share_test.sh [--link] SAVER_A... -- SAVER_B...  (e.g. "wine saver.exe")
# --link: B reaches each catalogue through a symbolic link to it.
set -u
LINK=()
[ "${1:-}" = --link ] && LINK=(link.ini) && shift
A=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do A+=("$1"); shift; done
shift
B=("$@")
ROUNDS=${QB_SHARE_ROUNDS:-200}
LIMIT=240

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work" || exit 1

timeout $LIMIT "${A[@]}" prepare "$ROUNDS" || { echo "FAIL: prepare"; exit 1; }
for ((round = 0; round < ROUNDS; round++)); do
    [ ${#LINK[@]} = 0 ] || ln -s quillbank.ini "$round/link.ini"
done
timeout $LIMIT "${A[@]}" read >reader.out 2>&1 &
reader=$!
pids+=("$reader")
timeout $LIMIT "${A[@]}" save "$ROUNDS" a b >a.out 2>&1 &
saverA=$!
timeout $LIMIT "${B[@]}" save "$ROUNDS" b a "${LINK[@]}" >b.out 2>&1 &
saverB=$!
pids+=("$saverA" "$saverB")
end=$((SECONDS + LIMIT))
for file in reader.ready a.ready b.ready; do
    until [ -e "$file" ]; do
        [ $SECONDS -lt $end ] || { echo "FAIL: $file never appeared"; exit 1; }
        sleep 0.05
    done
done
: >go
started=$SECONDS
failed=0
wait "$saverA" || { echo "FAIL: saver a ended with status $?"; failed=1; }
wait "$saverB" || { echo "FAIL: saver b ended with status $?"; failed=1; }
: >stop
wait "$reader" || { echo "FAIL: the reader saw a torn file (or nothing)"; failed=1; }
timeout $LIMIT "${A[@]}" check "$ROUNDS" a b >check.out 2>&1 || failed=1
cat a.out b.out reader.out check.out | tr -d '\r'
echo "time: $((SECONDS - started)) s"
# A killed save would leave its temporary file; none of these saves was killed.
leftovers=$(find . -name '*.tmp-*' | head -5)
[ -z "$leftovers" ] || { echo "FAIL: temporary files left: $leftovers"; failed=1; }
exit $failed

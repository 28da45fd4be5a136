#!/bin/bash
# Two programs import into one catalogue at once, one through a symbolic link to it and one through its target:
# every import that says it saved keeps its host, and every other one says it failed.
# Usage: run_share_test.sh CLI_PATH [EMULATOR...]
. "$(dirname "$0")/../cli/cli_lib.sh"
ROUNDS=${QB_SHARE_ROUNDS:-100}

# importer NAME FILE: ROUNDS imports of one new host each; prints the hosts of those that exited 0.
importer() {
    for ((round = 0; round < ROUNDS; round++)); do
        printf '%s%d\n' "$1" "$round" >"$1$round.txt"
        "${EMULATOR[@]}" "$CLI" import "$1$round.txt" "$2" </dev/null >/dev/null 2>>"$1.err" && echo "$1$round"
    done
}

echo first >first.txt
t 0 import first.txt quillbank.ini
ln -s quillbank.ini link.ini
importer a quillbank.ini >a.saved &
importer b link.ini >b.saved
wait $!
saved=$(sort first.txt a.saved b.saved)
expect_text "$(tr -d '\r' <quillbank.ini | sed -n 's/^<ITEM>\([^<]*\)<HOST>.*/\1/p' | sort)" "$saved" \
    "hosts in the catalogue: not those of the imports that saved"
echo "$(($(wc -l <a.saved) + $(wc -l <b.saved))) of $((2 * ROUNDS)) imports saved; failures told: $(cat a.err b.err)"
leftovers=$(ls ./*.tmp-* 2>/dev/null)
[ -z "$leftovers" ] || fail "temporary files left: $leftovers"
finish "share tests"

# What the console companion's test scripts share: sourced with the script's
# arguments (CLI_PATH [EMULATOR...]), it makes a work folder, goes there, and
# defines the helpers below.
set -u
CLI=$1
shift
EMULATOR=("$@")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run ARGS...: runs the program; sets rc, out and err (CR removed).
run() {
    "${EMULATOR[@]}" "$CLI" "$@" >stdout.txt 2>stderr.txt
    rc=$?
    out=$(tr -d '\r' <stdout.txt)
    err=$(tr -d '\r' <stderr.txt)
}
expect_rc() {
    [ "$rc" = "$1" ] || fail "$2: exit status $rc, expected $1 (stderr: $err)"
}
expect_text() {  # expect_text ACTUAL EXPECTED WHAT
    if [ "$1" != "$2" ]; then
        fail "$3"
        diff <(printf '%s\n' "$2") <(printf '%s\n' "$1") | head -20
    fi
}
expect_one_line_error() {  # the message is one line on stderr, nothing on stdout
    [ -z "$out" ] || fail "$1: unexpected stdout: $out"
    [ -n "$err" ] && [ "$(printf '%s\n' "$err" | wc -l)" = 1 ] || fail "$1: stderr is not one line: $err"
}
# expect_json WHAT EXPECTED: stdout is EXPECTED, keys in its order, laid out
# with two-space indents and a final newline.
expect_json() {
    python3 - "$2" stdout.txt <<'PY' || fail "$1"
import json, sys
want = json.dumps(json.loads(sys.argv[1]), indent=2, ensure_ascii=False) + "\n"
got = open(sys.argv[2], encoding="utf-8", newline="").read().replace("\r\n", "\n")
if got != want:
    sys.stdout.write(got)
    sys.exit(1)
PY
}

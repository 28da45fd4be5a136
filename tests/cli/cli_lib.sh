# Sourced by the cli and release test scripts with PROGRAM [EMULATOR...]: works in a new folder, removed at the end.
set -u
CLI=$(realpath "$1")
shift
EMULATOR=("$@")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run ARGS...: runs the program, never on a terminal; sets rc, out and err (CR removed).
run() {
    "${EMULATOR[@]}" "$CLI" "$@" </dev/null >stdout.txt 2>stderr.txt
    rc=$?
    out=$(tr -d '\r' <stdout.txt)
    err=$(tr -d '\r' <stderr.txt)
}
expect_rc() { [ "$rc" = "$1" ] || fail "$2: exit status $rc, expected $1 (stderr: $err)"; }
# t WANT_RC ARGS...: runs the program and checks its exit status.
t() { run "${@:2}" && expect_rc "$1" "${*:2}"; }
expect_text() { [ "$1" = "$2" ] || fail "$3: got '$1'"; } # ACTUAL EXPECTED WHAT
expect_one_line_error() { # WHAT: one line on stderr, nothing on stdout
    [ -z "$out" ] || fail "$1: unexpected stdout: $out"
    [ -n "$err" ] && [ "$(printf '%s\n' "$err" | wc -l)" = 1 ] || fail "$1: stderr is not one line: $err"
}
# refused WHAT TEXT ARGS...: exit status 2, one line on stderr holding TEXT (a pattern).
refused() {
    t 2 "${@:3}"
    expect_one_line_error "$1"
    [[ "$err" == *$2* ]] || fail "$1: \"$2\" not in: $err"
}
# t_errors: each line of stdin is ARGS that exit 2 with one line on stderr.
t_errors() {
    local words
    while read -r words; do
        # shellcheck disable=SC2086
        t 2 $words
        expect_one_line_error "$words"
    done
}
finish() { [ "$failures" = 0 ] && echo "$1 passed" && exit 0; echo "$failures $1 failed"; exit 1; }
# expect_json WHAT EXPECTED: stdout is EXPECTED, keys in order, two-space indents.
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

#!/bin/sh
# quillbank-cli menu and compose, run as a user would run them.
# usage: run_launch_cli_tests.sh CLI_PATH [EMULATOR...]
# With an emulator (Wine) the Windows program is under test: its output has
# CR LF line ends and the default browser comes from Wine's registry.
set -u
CLI=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
shift
EMULATOR="$*"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0
status=0

# Runs the cli in $WORK with no terminal on stdin; out/err with CR dropped.
run()
{
    (cd "$WORK" && $EMULATOR "$CLI" "$@") </dev/null >"$WORK/out.raw" 2>"$WORK/err.raw"
    status=$?
    tr -d '\r' <"$WORK/out.raw" >"$WORK/out"
    tr -d '\r' <"$WORK/err.raw" >"$WORK/err"
}

fail()
{
    echo "FAIL: $1"
    echo "  stdout: $(head -c 2000 "$WORK/out")"
    echo "  stderr: $(cat "$WORK/err")"
    failures=$((failures + 1))
}

# expect NAME STATUS PYTHON-CONDITION: j is the JSON printed on stdout.
expect()
{
    name=$1 want=$2 condition=$3
    if [ "$status" -ne "$want" ]; then
        fail "$name: exit status $status, expected $want"
        return
    fi
    if ! python3 - "$WORK/out" "$condition" <<'PY'
import json, sys
j = json.load(open(sys.argv[1], encoding="utf-8"))
CONFIRM = "Are you sure you want to run:\n\n\"tool.exe -h %HOST% -u ??? -p ***\""
sys.exit(0 if eval("(" + sys.argv[2] + ")") else 1)
PY
    then
        fail "$name: $condition"
    fi
}

# t NAME STATUS PYTHON-CONDITION ARGS...: runs the cli with ARGS; STATUS 2
# is a usage error, one message line and nothing on stdout.
t()
{
    name=$1 want=$2 condition=$3
    shift 3
    run "$@"
    if [ "$want" = 2 ]; then
        if [ "$status" -ne 2 ] || [ -s "$WORK/out" ] || [ "$(grep -c 'quillbank-cli:' "$WORK/err")" -ne 1 ]; then
            fail "$name: expected exit 2 with one message, got $status"
        fi
    else
        expect "$name" "$want" "$condition"
    fi
}

cat >"$WORK/q.ini" <<'INI'
<X>0<Y>0<BROWSER>D:\alt\alt.exe<RDPX>-1<RPDY>768<END>
<ITEM>Alpha<HOST>pc1<ICON>3<COL>-1
  <NAME>Run<RUN>tool.exe<PARAMS>-h %HOST% -u ??? -p ***<IICON>5<CONFIRM>1<BOLD>1
  <SEP>
  <WINDOWS>1<P1>%HOST%<P2>,D$<IICON>12
  <URL>http://%HOST%/a<NAME>Web<ALT>0<IICON>40
  <URL>http://%HOST%/b<NAME>Alt web<ALT>1<IICON>41
  <NAME>Site<RUN>HTTP://%HOST%/x<PARAMS>--dropped<IICON>0<CONFIRM>0<BOLD>0
<ITEM>Beta<HOST>pc2<ICON>0<COL>-1
  <NAME>Make folder<RUN>cmd.exe<PARAMS>/c mkdir launched-%HOST%<IICON>0<CONFIRM>0<BOLD>0
<ITEM>Alpha<HOST>other<ICON>0<COL>-1
  <NAME>Other<RUN>x.exe<PARAMS><IICON>0<CONFIRM>0<BOLD>0
INI

# --- menu: how the items are printed (what they hold is the core's test) -----
t "menu items in order" 0 '
j["host"] == "Alpha" and [i["type"] for i in j["items"]] == ["command", "separator", "submenu", "command", "command", "command"]
and j["items"][0] == {"type": "command", "id": 1, "text": "Run", "bold": True, "image": 5, "program": "tool.exe",
                      "params": "-h %HOST% -u ??? -p ***", "confirm": True}
and list(j["items"][0].keys()) == ["type", "id", "text", "bold", "image", "program", "params", "confirm"]
and j["items"][1] == {"type": "separator"} and [i["id"] for i in j["items"][3:]] == [9, 10, 11]
and j["items"][2]["text"] == "%HOST%||12" and list(j["items"][2].keys()) == ["type", "text", "bold", "items"]
and [i["id"] for i in j["items"][2]["items"]] == [2, 3, 4, 5, 6, 7, 8] and j["items"][2]["items"][0]["params"] == "/v:%HOST%"
and j["items"][3]["program"] == "C:\\Web\\web.exe" and j["items"][4]["program"] == "D:\\alt\\alt.exe"' \
    menu Alpha q.ini --default-browser '"C:\Web\web.exe" "%1"'
if [ -n "$EMULATOR" ]; then
    t "menu default browser from the registry" 0 'j["items"][3]["program"].lower().endswith("winebrowser.exe")' menu Alpha q.ini
else
    t "menu without a registry" 0 'j["items"][3]["program"] == "" and j["items"][4]["program"] == "D:\\alt\\alt.exe"' \
        menu Alpha q.ini
fi
t "menu by index, same title as another host" 0 'j["host"] == "Alpha" and j["items"][0]["text"] == "Other"' \
    menu --index 2 q.ini

# --- compose ----------------------------------------------------------------
t "compose refused" 0 'j == {"confirmation": CONFIRM, "prompts": [], "call": None}' \
    compose Alpha 1 q.ini --no --input me --password pw
t "compose with every answer" 0 '
j["confirmation"] == CONFIRM and j["prompts"] == ["User Input", "Password Input"]
and j["call"] == {"owner": "main window", "verb": "open", "file": "tool.exe", "parameters": "-h pc1 -u me -p ***",
                  "directory": None, "show": 1}
and list(j["call"].keys()) == ["owner", "verb", "file", "parameters", "directory", "show"]' \
    compose Alpha 1 q.ini --yes --input me --password pw
# The terminal's UTF-8 goes into the command in the ANSI code page and
# comes back out once, not encoded twice; the password is never printed.
t "compose text from the terminal, password hidden" 0 'j["call"]["parameters"] == "-h pc1 -u é€ -p ***"' \
    compose Alpha 1 q.ini --yes --input 'é€' --password 'pw***'
grep -q 'pw' "$WORK/out" && fail "compose printed the password"

# A password typed at the hidden prompt of a terminal is not printed either.
if [ -z "$EMULATOR" ]; then
    python3 - "$CLI" "$WORK" >"$WORK/out" 2>"$WORK/err" <<'PY'
import os, pty, select, subprocess, sys
master, slave = pty.openpty()
cli = subprocess.Popen([sys.argv[1], "compose", "Alpha", "1", "q.ini", "--yes", "--input", "me"], cwd=sys.argv[2],
                       stdin=slave, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
os.close(slave)
prompt = b""
while b"Password Input: " not in prompt and select.select([cli.stderr], [], [], 10)[0]:
    prompt += os.read(cli.stderr.fileno(), 100)
os.write(master, b"s3cret\n")
out, _ = cli.communicate(timeout=10)
sys.stdout.write(out.decode())
sys.exit(cli.returncode)
PY
    status=$?
    expect "compose with a password typed at the prompt" 0 'j["call"]["parameters"] == "-h pc1 -u me -p ***"'
    grep -q 's3cret' "$WORK/out" && fail "compose printed the typed password"
fi

t "compose without terminal counts as No" 0 'j["confirmation"] == CONFIRM and j["prompts"] == [] and j["call"] is None' \
    compose Alpha 1 q.ini
t "compose without --input or terminal cancels" 0 "j['prompts'] == ['User Input', 'Password Input'] and j['call'] is None" \
    compose Alpha 1 q.ini --yes --password pw
t "compose address program" 0 '
j["confirmation"] is None and j["prompts"] == []
and j["call"] == {"owner": None, "verb": None, "file": "C:\\Web\\web.exe", "parameters": "HTTP://pc1/x",
                  "directory": None, "show": 1}' \
    compose Alpha 11 q.ini --default-browser 'C:\Web\web.exe %1'

# Usage errors at the ends of what is accepted.
while read -r words; do
    # shellcheck disable=SC2086
    t "$words" 2 '' $words
done <<'CASES'
menu Nobody q.ini
menu --index 3 q.ini
menu --index -1 q.ini
menu
compose Alpha 12 q.ini
compose Alpha 0 q.ini
compose Alpha 1x q.ini
compose Alpha 1 q.ini --yes --no
CASES

if [ -n "$EMULATOR" ]; then
    t "compose launch reports the call" 0 "j['call']['parameters'] == '/c mkdir launched-pc2'" compose Beta 1 q.ini --launch
    waited=0
    while [ ! -d "$WORK/launched-pc2" ] && [ "$waited" -lt 20 ]; do
        sleep 0.5
        waited=$((waited + 1))
    done
    [ -d "$WORK/launched-pc2" ] || fail "compose --launch started nothing"
else
    t "compose --launch refused without Windows" 2 '' compose Beta 1 q.ini --launch
    [ ! -d "$WORK/launched-pc2" ] || fail "compose --launch started something"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures launch cli check(s) failed"
    exit 1
fi
echo "launch cli checks passed"

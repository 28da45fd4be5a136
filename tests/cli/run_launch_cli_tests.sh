#!/bin/bash
# quillbank-cli menu and compose, run as a user would run them.
# Usage: run_launch_cli_tests.sh CLI_PATH [EMULATOR...]; under Wine the
# default browser comes from Wine's registry.
. "$(dirname "$0")/cli_lib.sh"

# j NAME PYTHON-CONDITION ARGS...: exit status 0 and the JSON printed (j) meets the condition.
j() {
    local name=$1 condition=$2
    shift 2
    run "$@"
    expect_rc 0 "$name"
    python3 - stdout.txt "$condition" <<'PY' || fail "$name: $condition; stdout: $out"
import json, sys
j = json.load(open(sys.argv[1], encoding="utf-8"))
CONFIRM = "Are you sure you want to run:\n\n\"tool.exe -h %HOST% -u ??? -p ***\""
sys.exit(0 if eval("(" + sys.argv[2] + ")") else 1)
PY
}

cat >q.ini <<'INI'
<X>0<Y>0<BROWSER>D:\alt\alt.exe<RDPX>-1<RPDY>768<END>
<ITEM>Alpha<HOST>pc1<ICON>3<COL>-1
  <NAME>Run<RUN>tool.exe<PARAMS>-h %HOST% -u ??? -p ***<IICON>5<CONFIRM>1<BOLD>1
  <SEP>
  <WINDOWS>1<P1>%HOST%<P2>,D$<IICON>12
  <URL>http://%HOST%/a<NAME>Web<ALT>0<IICON>40
  <URL>http://%HOST%/b<NAME>Alt web<ALT>1<IICON>41
<ITEM>Beta<HOST>pc2<ICON>0<COL>-1
  <NAME>Make folder<RUN>cmd.exe<PARAMS>/c mkdir launched-%HOST%<IICON>0<CONFIRM>0<BOLD>0
<ITEM>Alpha<HOST>other<ICON>0<COL>-1
  <NAME>Other<RUN>x.exe<PARAMS><IICON>0<CONFIRM>0<BOLD>0
INI

# --- menu: how the items are printed (what they hold is the core's test)
j "menu items in order" '
j["host"] == "Alpha" and [i["type"] for i in j["items"]] == ["command", "separator", "submenu", "command", "command"]
and j["items"][0] == {"type": "command", "id": 1, "text": "Run", "bold": True, "image": 5, "program": "tool.exe",
                      "params": "-h %HOST% -u ??? -p ***", "confirm": True}
and j["items"][2]["text"] == "%HOST%" and j["items"][2]["image"] == 12 and len(j["items"][2]["items"]) == 7
and j["items"][3]["program"] == "C:\\Web\\web.exe" and j["items"][4]["program"] == "D:\\alt\\alt.exe"' \
    menu Alpha q.ini --default-browser '"C:\Web\web.exe" "%1"'
if [ ${#EMULATOR[@]} -gt 0 ]; then
    j "menu default browser from the registry" 'j["items"][3]["program"].lower().endswith("winebrowser.exe")' menu Alpha q.ini
else
    j "menu without a registry" 'j["items"][3]["program"] == ""' menu Alpha q.ini
fi
j "menu by index, same title as another host" 'j["items"][0]["text"] == "Other"' menu --index 2 q.ini

# --- compose
j "compose with every answer" '
j["confirmation"] == CONFIRM and j["prompts"] == ["User Input", "Password Input"]
and j["call"] == {"owner": "main window", "verb": "open", "file": "tool.exe", "parameters": "-h pc1 -u me -p ***",
                  "directory": None, "show": 1}' \
    compose Alpha 1 q.ini --yes --input me --password pw
# UTF-8 from the terminal is converted once, not twice; the password is never printed.
j "compose text from the terminal, password hidden" 'j["call"]["parameters"] == "-h pc1 -u é€ -p ***"' \
    compose Alpha 1 q.ini --yes --input 'é€' --password 'pw***'
grep -q 'pw' stdout.txt && fail "compose printed the password"

# A password typed at the hidden prompt of a terminal is not printed either.
if [ ${#EMULATOR[@]} = 0 ]; then
    python3 - "$CLI" <<'PY' || fail "compose with a password typed at the prompt"
import json, os, pty, select, subprocess, sys
master, slave = pty.openpty()
cli = subprocess.Popen([sys.argv[1], "compose", "Alpha", "1", "q.ini", "--yes", "--input", "me"],
                       stdin=slave, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
os.close(slave)
prompt = b""
while b"Password Input: " not in prompt and select.select([cli.stderr], [], [], 10)[0]:
    prompt += os.read(cli.stderr.fileno(), 100)
os.write(master, b"s3cret\n")
out = cli.communicate(timeout=10)[0].decode()
sys.exit(out if "s3cret" in out or json.loads(out)["call"]["parameters"] != "-h pc1 -u me -p ***" else 0)
PY
fi

j "compose without terminal counts as No" 'j == {"confirmation": CONFIRM, "prompts": [], "call": None}' compose Alpha 1 q.ini
j "compose without --input or terminal cancels" "j['prompts'] == ['User Input', 'Password Input'] and j['call'] is None" \
    compose Alpha 1 q.ini --yes --password pw

# Usage errors at the ends of what is accepted.
t_errors <<'CASES'
menu Nobody q.ini
menu --index 3 q.ini
compose Alpha 11 q.ini
compose Alpha 1 q.ini --yes --no
CASES

if [ ${#EMULATOR[@]} -gt 0 ]; then
    j "compose launch reports the call" "j['call']['parameters'] == '/c mkdir launched-pc2'" compose Beta 1 q.ini --launch
    for _ in $(seq 1 40); do [ -d launched-pc2 ] && break; sleep 0.5; done
    [ -d launched-pc2 ] || fail "compose --launch started nothing"
else
    t 2 compose Beta 1 q.ini --launch
    expect_one_line_error "compose --launch without Windows"
    [ ! -d launched-pc2 ] || fail "compose --launch started something"
fi
finish "launch cli checks"

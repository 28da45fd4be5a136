#!/bin/bash
# Importing under Wine: "Import hosts..." in the system menu opens the dialog;
# a CSV file read there shows its hosts with duplicates and bad names left
# unchecked; Import appends the checked ones, with the template entry when
# asked, and saves at once.
# Usage: test_import.sh path/to/quillbank.exe
set -u -o pipefail
. "$(dirname "$0")/lib.sh"
qb_e2e_init "$1"

[ -f "$QB_POKE" ] || qb_fail "no poke at $QB_POKE"
WM_SYSCOMMAND=0x0112 IDM_IMPORT_HOSTS=0x0110
IDC_FILE=1071 IDC_READ=1078 IDC_STATUS=1080 IDC_TEMPLATE=1082 IDOK=1
DIALOG="Import hosts"

ini_has() { tr -d '\r' <"$1/quillbank.ini" 2>/dev/null | grep -qxF -- "$2"; }
status_is() { [ "$(poke gettext "$DIALOG" $IDC_STATUS)" = "$1" ]; }

dir=$(qb_workdir '<X>10<Y>10<BROWSER>x<RDPX>1024<RPDY>768<END>
<ITEM>Mail<HOST>mail01<ICON>3<COL>-1')
printf '%s\r\n' 'title,host,colour' 'Web,web01,#00ff00' 'Mail again,MAIL01.corp.example,' \
    'Bad,"x"" & calc.exe & ""y",' 'Files,files01:3390,' >"$dir/hosts.csv"
qb_start "$dir"
win=$(qb_wait_window) || qb_fail "no main window"

poke post Quillbank $WM_SYSCOMMAND $IDM_IMPORT_HOSTS || qb_fail "the system menu command was not taken"
dialog=$(qb_wait_window "^$DIALOG\$") || qb_fail "no import dialog"
poke settext "$DIALOG" $IDC_FILE 'hosts.csv' >/dev/null
poke click "$DIALOG" $IDC_READ >/dev/null
qb_wait_for 10 status_is "4 found, 2 to import." || qb_check_fail "preview: $(poke gettext "$DIALOG" $IDC_STATUS)"
qb_wait_drawn "$dialog"
[ -n "${QB_IMPORT_SHOT:-}" ] && qb_shot "$dialog" "$QB_IMPORT_SHOT"

poke check "$DIALOG" $IDC_TEMPLATE 1 >/dev/null
poke click "$DIALOG" $IDOK >/dev/null
poke gone "$DIALOG" 10 || qb_fail "the dialog stayed open after Import"
qb_wait_for 10 ini_has "$dir" '<ITEM>Files<HOST>files01:3390<ICON>0<COL>-1' || qb_check_fail "Files was not saved"
ini_has "$dir" '<ITEM>Web<HOST>web01<ICON>0<COL>65280' || qb_check_fail "Web was not saved with its colour"
ini_has "$dir" '  <WINDOWS>1<P1>files01<P2>C$<IICON>17' || qb_check_fail "no template entry for the name without its port"
qb_expect "hosts in the file" "$(grep -c '^<ITEM>' "$dir/quillbank.ini")" 3

qb_wait_ready "$win" || qb_fail "the main window did not become ready for a click"
qb_close "$win"
qb_wait_exit || qb_fail "the program did not end"
qb_finish

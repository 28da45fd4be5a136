#!/bin/bash
# Importing under Wine through the system menu's dialog, from a CSV file and then
# from the domain controller of tests/directory/dc.sh (QB_DC_DIR): duplicates, bad
# names and disabled computers stay unchecked; the checked ones are saved at once,
# and the window grows by their rows.
# Usage: test_import.sh path/to/quillbank.exe
set -u -o pipefail
. "$(dirname "$0")/lib.sh"
qb_e2e_init "$1"

WM_SYSCOMMAND=0x0112 IDM_IMPORT_HOSTS=0x0110
IDC_FILE=1071 IDC_READ=1078 IDC_STATUS=1080 IDC_TEMPLATE=1082 IDOK=1
IDC_FROM_DIRECTORY=1073 IDC_ADDRESS=1074 IDC_SIGN_IN=1075 IDC_USER=1076 IDC_PASSWORD=1077
DIALOG="Import hosts"

status_is() { [ "$(poke gettext "$DIALOG" $IDC_STATUS)" = "$1" ]; }
# shellcheck source=/dev/null
. "${QB_DC_DIR:-/nonexistent}/env.sh" || qb_fail "no test domain controller: dc.sh start DIR, then QB_DC_DIR=DIR"

dir=$(qb_workdir '<X>10<Y>10<BROWSER>x<RDPX>1024<RPDY>768<END>
<ITEM>Mail<HOST>mail01<ICON>3<COL>-1')
printf '%s\r\n' 'title,host,colour' 'Web,web01,#00ff00' 'Mail again,MAIL01.corp.example,' \
    'Bad,"x"" & calc.exe & ""y",' 'Files,files01:3390,' >"$dir/hosts.csv"
qb_start "$dir"
win=$(qb_wait_window) || qb_fail "no main window"

poke post Quillbank $WM_SYSCOMMAND $IDM_IMPORT_HOSTS || qb_fail "the system menu command was not taken"
qb_wait_window "^$DIALOG\$" >/dev/null || qb_fail "no import dialog"
poke settext "$DIALOG" $IDC_FILE 'hosts.csv' >/dev/null
poke click "$DIALOG" $IDC_READ >/dev/null
qb_wait_for 10 status_is "4 found, 2 to import." || qb_check_fail "preview: $(poke gettext "$DIALOG" $IDC_STATUS)"

poke check "$DIALOG" $IDC_TEMPLATE 1 >/dev/null
poke click "$DIALOG" $IDOK >/dev/null
poke gone "$DIALOG" 10 || qb_fail "the dialog stayed open after Import"
qb_wait_for 10 qb_ini_has "$dir" '<ITEM>Files<HOST>files01:3390<ICON>0<COL>-1' || qb_check_fail "Files was not saved"
qb_ini_has "$dir" '<ITEM>Web<HOST>web01<ICON>0<COL>65280' || qb_check_fail "Web was not saved with its colour"
qb_ini_has "$dir" '  <WINDOWS>1<P1>files01<P2>C$<IICON>17' || qb_check_fail "no template entry for the name without its port"
qb_expect "hosts in the file" "$(grep -c '^<ITEM>' "$dir/quillbank.ini")" 3
qb_wait_fit 3

# The directory over plain ldap://: Wine's Negotiate bind seals over TLS too, which the server refuses.
poke post Quillbank $WM_SYSCOMMAND $IDM_IMPORT_HOSTS || qb_fail "the system menu command was not taken"
qb_wait_window "^$DIALOG\$" >/dev/null || qb_fail "no import dialog"
poke check "$DIALOG" $IDC_FROM_DIRECTORY 1 && poke click "$DIALOG" $IDC_FROM_DIRECTORY
poke check "$DIALOG" $IDC_SIGN_IN 0 && poke click "$DIALOG" $IDC_SIGN_IN
poke settext "$DIALOG" $IDC_ADDRESS "$QB_DC_URL/$QB_DC_BASE" >/dev/null
poke click "$DIALOG" $IDC_READ
qb_wait_for 10 status_is "Type a user name, or use your Windows sign-in." || qb_check_fail "searched without a user"
poke settext "$DIALOG" $IDC_USER "$QB_DC_USER" >/dev/null
poke settext "$DIALOG" $IDC_PASSWORD "$(cat "$QB_DC_PASSWORD_FILE")" >/dev/null
poke click "$DIALOG" $IDC_READ
qb_wait_for 30 status_is "8 found, 5 to import." || qb_check_fail "directory: $(poke gettext "$DIALOG" $IDC_STATUS)"
poke click "$DIALOG" $IDOK >/dev/null
poke gone "$DIALOG" 10 || qb_fail "the dialog stayed open after Import"
qb_wait_for 10 qb_ini_has "$dir" '<ITEM>srv02<HOST>srv02.test.lan<ICON>0<COL>-1' || qb_check_fail "srv02 was not saved"
qb_ini_has "$dir" '<ITEM>nodns<HOST>nodns<ICON>0<COL>-1' || qb_check_fail "no cn for a computer without a DNS name"
qb_expect "hosts in the file" "$(grep -c '^<ITEM>' "$dir/quillbank.ini")" 8
qb_wait_fit 8
grep -qE 'SRV-OLD|lap07|<HOST>pc01' "$dir/quillbank.ini" && qb_check_fail "a disabled or duplicate host was saved"

qb_close_ends "$win"
qb_finish

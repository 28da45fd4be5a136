#!/bin/bash
# One catalogue, several programs: two instances each add a host and the file holds
# both; an instance shows, without a restart, a host quillbank-cli added meanwhile,
# its window a row taller.
# Usage: test_sharing.sh path/to/quillbank.exe
set -u -o pipefail
. "$(dirname "$0")/lib.sh"
qb_e2e_init "$1"

CLI=$QB_BUILD_DIR/src/cli/quillbank-cli.exe
[ -f "$CLI" ] || qb_fail "no quillbank-cli at $CLI"

options_at() { printf '<X>%s<Y>20<BROWSER>c:\\b.exe<RDPX>800<RPDY>600<END>' "$1"; }
ini_hosts() { qb_ini "$1" | grep '^<ITEM>' | sort | tr '\n' ' '; }
hosts_are() { [ "$(ini_hosts "$1")" = "$2" ]; }
windows_are() { [ "$(xdotool search --onlyvisible --name '^Quillbank$' 2>/dev/null | wc -l)" = "$1" ]; }

# add_host X TITLE HOST: the program whose window holds screen column X adds a host.
add_host() {
    QB_POKE_AT="$1,30" poke rclick Quillbank 70 100 >/dev/null
    qb_dialog "Edit Item" 1002="$2" 1039="$3" 1 || qb_fail "no host editor for $2, or OK did not close it"
}

# --- Two instances (the second placed apart by the file) each add a host; the file holds both.
dir=$(qb_workdir "$(options_at 20)")
qb_start "$dir"
pidA=$QB_PID
qb_wait_window >/dev/null || qb_fail "no first window"
options_at 400 | sed 's/$/\r/' >"$dir/next" && mv "$dir/next" "$dir/quillbank.ini"
qb_start "$dir"
pidB=$QB_PID
qb_wait_for 30 windows_are 2 || qb_fail "no second window"

add_host 30 "Alpha" "a01"
qb_wait_for 10 hosts_are "$dir" "<ITEM>Alpha<HOST>a01<ICON>0<COL>-1 " || qb_fail "the first instance did not save Alpha"
QB_POKE_AT=30,30 qb_wait_fit 1
add_host 410 "Beta" "b01"
both="<ITEM>Alpha<HOST>a01<ICON>0<COL>-1 <ITEM>Beta<HOST>b01<ICON>0<COL>-1 "
qb_wait_for 10 hosts_are "$dir" "$both" || qb_check_fail "the second save lost the first's host: $(ini_hosts "$dir")"
# Each window shows both: the second merged the first's host, the first follows the file.
QB_POKE_AT=410,30 qb_wait_fit 2
QB_POKE_AT=30,30 qb_wait_fit 2
QB_POKE_AT=30,30 poke post Quillbank 0x10 >/dev/null
QB_POKE_AT=410,30 poke post Quillbank 0x10 >/dev/null
qb_wait_exit "$pidA" && qb_wait_exit "$pidB" || qb_fail "an instance did not end"
qb_expect "hosts after both closed" "$(ini_hosts "$dir")" "$both"

# --- quillbank-cli adds a host while the program runs: the list shows it.
ini="$(options_at 20)
<ITEM>Alpha<HOST>a01<ICON>0<COL>-1"
dir=$(qb_workdir "$ini")
printf '%s\n' "$ini" "<ITEM>Gamma<HOST>g01<ICON>0<COL>-1" | sed 's/$/\r/' >"$dir/added.ini"
qb_start "$dir"
qb_wait_window >/dev/null || qb_fail "no window"
qb_wait_fit 1
(cd "$dir" && timeout 30 wine "$CLI" merge quillbank.ini added.ini quillbank.ini -o quillbank.ini) >/dev/null 2>&1 ||
    qb_fail "quillbank-cli merge did not add the host"
qb_wait_fit 2
QB_POKE_AT=30,30 poke post Quillbank 0x10 >/dev/null
qb_wait_exit || qb_fail "the program did not end"
hosts_are "$dir" "<ITEM>Alpha<HOST>a01<ICON>0<COL>-1 <ITEM>Gamma<HOST>g01<ICON>0<COL>-1 " ||
    qb_check_fail "closing lost the added host: $(ini_hosts "$dir")"

qb_finish

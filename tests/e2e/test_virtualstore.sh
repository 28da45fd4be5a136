#!/bin/bash
# Under Wine: a newer catalogue that Windows redirected to the user's VirtualStore
# is offered once at start. Yes saves it here (the old file kept as .bak); No
# changes nothing and is not asked again until that copy changes.
# Usage: test_virtualstore.sh path/to/quillbank.exe
set -u -o pipefail
. "$(dirname "$0")/lib.sh"
qb_e2e_init "$1"

box_title=$(basename "$QB_EXE" .exe)
IDYES=6 IDNO=7
OPTIONS='<X>200<Y>150<BROWSER>c:\b.exe<RDPX>800<RPDY>600<END>'
LOCAL_HOST='<ITEM>Local<HOST>l01<ICON>3<COL>-1'
COPY_HOST='<ITEM>Redirected<HOST>r01<ICON>5<COL>-1'
local_app_data=$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
[[ "$local_app_data" == ?:\\* ]] || qb_fail "no LOCALAPPDATA under Wine: '$local_app_data'"
# The Unix folder where Windows would redirect a Windows folder (drive dropped).
store_of() {
    local path
    path="$(winepath -u "$local_app_data" 2>/dev/null)/VirtualStore$(winepath -w "$1" 2>/dev/null | cut -c3-)"
    echo "${path//\\//}"
}
stores=$(store_of "$QB_TMP")
trap 'rm -rf "$stores"; wine reg delete "HKCU\\Software\\Quillbank" /v "Declined VirtualStore copy" /f >/dev/null 2>&1
      qb_cleanup' EXIT

# setup: a folder with an old catalogue and a newer copy in its VirtualStore
# place; sets dir, folder (its Windows path) and copy (the copy's Unix path).
setup() {
    dir=$(qb_workdir "$OPTIONS
$LOCAL_HOST")
    touch -d '2020-01-01 00:00' "$dir/quillbank.ini"
    folder=$(winepath -w "$dir" 2>/dev/null)
    local store
    store=$(store_of "$dir")
    mkdir -p "$store" || qb_fail "mkdir $store"
    qb_put_ini "$store" "$OPTIONS
$COPY_HOST"
    copy=$store/quillbank.ini
}
asked() {
    poke wait "$box_title" "$QB_TIMEOUT" || return 1
    local copy_folder="$local_app_data\\VirtualStore${folder:2}"
    qb_expect "the question" "$(poke gettext "$box_title" 65535)" "A newer copy of quillbank.ini was found in
$copy_folder
(saved there by an older version of Quillbank that Windows redirected).

Use it instead of quillbank.ini in
$folder?
The current one is kept as quillbank.ini.bak."
}
# start_unasked WHAT: the main window shows, so no question came before it.
start_unasked() {
    qb_start "$dir"
    win=$(qb_wait_window) || qb_fail "$1: no main window, or a question came"
}
# start_answering BUTTON WHAT: the question first, then the main window.
start_answering() {
    qb_start "$dir"
    asked || qb_fail "$2: no question about the newer copy"
    qb_dialog "$box_title" "$1" || qb_fail "$2: the question stayed open"
    win=$(qb_wait_window) || qb_fail "$2: no main window after the answer"
}

# --- Yes: the copy is saved here, the old file kept; the next start asks nothing.
setup
start_answering $IDYES "Yes"
{ qb_ini_has "$dir" "$COPY_HOST" && ! qb_ini_has "$dir" "$LOCAL_HOST"; } ||
    qb_check_fail "Yes did not save the copy: $(qb_ini "$dir" | tr '\n' '|')"
qb_expect "the old file kept" "$(tr -d '\r' <"$dir/quillbank.ini.bak" | tr '\n' '|')" "$OPTIONS|$LOCAL_HOST|"
[ -f "$copy" ] || qb_check_fail "the copy was removed"
qb_close_ends "$win"
start_unasked "the start after Yes"
qb_close_ends "$win"

# --- No: nothing changes; not asked again until the copy changes.
setup
copy_bytes=$(md5sum <"$copy")
start_answering $IDNO "No"
{ qb_ini_has "$dir" "$LOCAL_HOST" && ! qb_ini_has "$dir" "$COPY_HOST"; } ||
    qb_check_fail "No changed the catalogue: $(qb_ini "$dir" | tr '\n' '|')"
qb_expect "the copy after No" "$(md5sum <"$copy")" "$copy_bytes"
qb_close_ends "$win"
# Made old again after the close, only the remembered No keeps the question away.
touch -d '2020-01-01 00:00' "$dir/quillbank.ini"
start_unasked "the start after No"
qb_close_ends "$win"
touch -d '2020-01-01 00:00' "$dir/quillbank.ini"
printf '%s\r\n' "$COPY_HOST" >>"$copy"
start_answering $IDNO "the copy changed since No"
qb_close_ends "$win"

qb_finish

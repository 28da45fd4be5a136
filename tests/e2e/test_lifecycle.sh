#!/bin/bash
# Under Wine, ends that keep the catalogue: closed while minimised (the restored
# position is saved); a close request from another program while the host editor
# is open is carried out after the editor, keeping the edit and every host.
# Usage: test_lifecycle.sh path/to/quillbank.exe
set -u -o pipefail
. "$(dirname "$0")/lib.sh"
qb_e2e_init "$1"

WM_CLOSE=0x0010 WM_SYSCOMMAND=0x0112 SC_MINIMIZE=0xF020
# Minimised, Wine shows the window as a small icon bar elsewhere.
moved_from() { qb_geometry "$1"; [ "$X,$Y,$WIDTH,$HEIGHT" != "$2" ]; }

# --- Minimised, then closed: the position it opens at again is saved.
dir=$(qb_workdir '<X>200<Y>150<BROWSER>c:\b.exe<RDPX>800<RPDY>600<END>
<ITEM>Solo<HOST>s<ICON>7<COL>-1')
qb_start "$dir"
win=$(qb_wait_window) || qb_fail "no main window"
qb_geometry "$win"
restored="$X,$Y,$WIDTH,$HEIGHT"
poke post Quillbank $WM_SYSCOMMAND $SC_MINIMIZE || qb_fail "could not minimise"
qb_wait_for 10 moved_from "$win" "$restored" || qb_fail "the window did not minimise"
poke post Quillbank $WM_CLOSE || qb_fail "no close request"
qb_wait_exit || qb_fail "the close request did not end the program"
qb_expect "restored position saved" "$(qb_ini_line "$dir" 1)" '<X>200<Y>150<BROWSER>c:\b.exe<RDPX>800<RPDY>600<END>'

# --- Properties (menu item 4) then OK, Copy (2) then Cancel, the button posted after the close request.
for run in "4 1 <ITEM>Renamed<HOST>h1<ICON>3<COL>255 1002=Renamed" "2 2 <ITEM>One<HOST>h1<ICON>3<COL>255"; do
    read -r item button line fields <<<"$run"
    dir=$(qb_workdir '<X>200<Y>150<BROWSER>c:\b.exe<RDPX>800<RPDY>600<END>
<ITEM>One<HOST>h1<ICON>3<COL>255')
    qb_start "$dir"
    qb_wait_window >/dev/null || qb_fail "no main window"
    poke rclick Quillbank 40 7 >/dev/null
    poke menu "$item" >/dev/null || qb_fail "no context menu on the row"
    poke wait "Edit Item" 10 || qb_fail "menu item $item did not open the host editor"
    poke post Quillbank $WM_CLOSE || qb_fail "no close request"
    # shellcheck disable=SC2086
    qb_dialog "Edit Item" $fields "$button"
    qb_wait_exit || qb_fail "the remembered close request was not carried out (item $item)"
    qb_ini_has "$dir" "$line" || qb_check_fail "item $item, button $button: $(qb_ini "$dir" | tr '\n' '|')"
done

qb_finish

#!/bin/bash
# Editing under Wine: a right click away from the hosts adds one; the host's menu
# adds, copies, deletes, edits and opens the options; catalogue changes are saved at
# once, and the window fitted to the new rows; options are saved at the close box,
# and lost when Shift+click ends the program.
# Usage: test_editing.sh path/to/quillbank.exe
set -u -o pipefail
. "$(dirname "$0")/lib.sh"
qb_e2e_init "$1"

# Context-menu items as poke counts them (separators skipped).
M_DELETE=1 M_COPY=2 M_OPTIONS=3 M_PROPERTIES=4

items_are() { [ "$(grep -c '^<ITEM>' "$1/quillbank.ini" 2>/dev/null)" = "$2" ]; }
# context_menu INDEX: posted, as a real right click just after a dialog may not arrive.
context_menu() {
    poke rclick Quillbank 40 7 >/dev/null
    poke menu "$1" >/dev/null || qb_fail "no context menu on the first row ($(qb_input_state))"
}

# --- No hosts: a right click anywhere opens the editor; Cancel writes nothing.
dir=$(qb_workdir)
qb_start "$dir"
win=$(qb_wait_window) || qb_fail "no main window"
qb_wait_ready "$win" || qb_fail "the main window did not become ready for a click"
qb_click_in "$win" 75 150 3
qb_dialog "Edit Item" 2 || qb_fail "a right click on empty space opened no host editor, or Cancel did not close it"
qb_wait_idle || qb_fail "the main window did not come back after Cancel"
[ -e "$dir/quillbank.ini" ] && qb_check_fail "a cancelled Add wrote the file"
qb_expect "the window after a cancelled Add" "$(poke outer Quillbank 1007)" "150 289 0 0"

# --- A title and host typed, OK: the row is added and the file written at once.
poke rclick Quillbank 70 100 >/dev/null
qb_dialog "Edit Item" 1002=Alpha 1039=a01 1 || qb_fail "the host editor did not open again"
qb_wait_for 10 items_are "$dir" 1 || qb_fail "OK in the host editor did not save a host"
qb_ini_has "$dir" "<ITEM>Alpha<HOST>a01<ICON>0<COL>-1" || qb_check_fail "saved host line: $(qb_ini_line "$dir" 2)"
qb_wait_fit 1

# --- Properties: an entry added in the entry editor reaches the file.
context_menu $M_PROPERTIES
poke click "Edit Item" 1048 >/dev/null || qb_fail "Properties did not open the host editor"
qb_dialog "Edit Command" 1002=Console 1042=cmd.exe 1043=+ 1 || qb_fail "Add did not open the entry editor"
poke click "Edit Item" 1 >/dev/null
qb_wait_for 10 qb_ini_has "$dir" "  <NAME>Console<RUN>cmd.exe<PARAMS><IICON>0<CONFIRM>1<BOLD>0" ||
    qb_check_fail "the new entry was not saved"
qb_close_ends "$win"

# --- Copy of a coloured host: appended, without colour, saved at once.
ini='<X>100<Y>100<BROWSER>c:\b.exe<RDPX>800<RPDY>600<END>
<ITEM>Alpha<HOST>a01<ICON>17<COL>255
  <NAME>Console<RUN>cmd.exe<PARAMS>/k<IICON>5<CONFIRM>0<BOLD>1'
dir=$(qb_workdir "$ini")
qb_start "$dir"
win=$(qb_wait_window) || qb_fail "no main window with one host"
context_menu $M_COPY
qb_expect "the copy's title in the editor" "$(poke gettext "Edit Item" 1002)" "Alpha"
poke click "Edit Item" 1 >/dev/null
qb_wait_for 10 items_are "$dir" 2 || qb_fail "Copy did not save a second host"
qb_expect "the copy comes last, uncoloured" "$(qb_ini "$dir" | grep '^<ITEM>' | tail -n 1)" "<ITEM>Alpha<HOST>a01<ICON>17<COL>-1"
qb_expect "the copy's entries" "$(qb_ini "$dir" | grep -c '^  <NAME>Console')" 2
qb_wait_fit 2
context_menu $M_COPY
qb_dialog "Edit Item" 2 || qb_fail "Cancel did not close the copy's editor"
qb_wait_idle || qb_fail "the main window did not come back after a cancelled Copy"
items_are "$dir" 2 || qb_check_fail "a cancelled Copy added a host"
qb_wait_fit 2

# --- Delete: the first row ("Alpha" sorts before "Alpha||255") goes, no question.
context_menu $M_DELETE
qb_wait_for 10 items_are "$dir" 1 || qb_fail "Delete did not save"
qb_ini_has "$dir" "<ITEM>Alpha<HOST>a01<ICON>17<COL>255" || qb_check_fail "Delete removed the wrong host"
qb_wait_fit 1

# --- Options: in memory until the close box writes them.
sum=$(md5sum <"$dir/quillbank.ini")
context_menu $M_OPTIONS
qb_expect "width shown" "$(poke gettext "Options" 1067)" "800"
qb_dialog "Options" 1067=1280px 1066=-1 1 || qb_fail "OK did not close the options"
qb_wait_idle || qb_fail "the main window did not come back after OK"
qb_expect "options not saved before the close" "$(md5sum <"$dir/quillbank.ini")" "$sum"
# --- The last host deleted: the window keeps the one-row size.
context_menu $M_DELETE
qb_wait_for 10 items_are "$dir" 0 || qb_fail "Delete of the last host did not save"
qb_wait_fit 0
qb_close_ends "$win"
[[ "$(qb_ini_line "$dir" 1)" == *"<RDPX>1280<RPDY>-1<END>" ]] || qb_check_fail "options line after close: $(qb_ini_line "$dir" 1)"

# --- Options changed, then ended with Shift+click on a host: the change is lost.
dir=$(qb_workdir "$ini")
sum=$(md5sum <"$dir/quillbank.ini")
qb_start "$dir"
win=$(qb_wait_window) || qb_fail "no main window for the Shift case"
context_menu $M_OPTIONS
qb_dialog "Options" 1067=1111 1 || qb_fail "Options... opened no dialog, or OK did not close it"
qb_wait_ready "$win" || qb_fail "the main window did not become ready for a click"
qb_click_in "$win" 40 25
xdotool keydown shift
poke held 0x10 10 || qb_check_fail "Wine did not see Shift held"
poke menuclose >/dev/null
qb_wait_exit "$QB_PID" 15 || qb_check_fail "Shift+click did not end the program"
xdotool keyup shift
qb_expect "file after Shift+click" "$(md5sum <"$dir/quillbank.ini")" "$sum"

qb_finish

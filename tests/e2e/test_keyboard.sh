#!/bin/bash
# 201 hosts, real key presses: the window fits the screen; the last host is reached
# by keys, wheel and scroll bar, its entries run from keys; type-ahead, Shift+F10,
# F2, Insert, Delete; Enter never ends the program, Alt+F4 closes it with the save.
# Usage: test_keyboard.sh path/to/quillbank.exe
set -u -o pipefail
. "$(dirname "$0")/lib.sh"
qb_e2e_init "$1"

box_title=$(basename "$QB_EXE" .exe)
dir=$(qb_workdir)
rec=$(qb_recorder "$dir")
# Rows, sorted: "Host 000" ... "Host 199" (0 to 199), "Zulu last" (200).
qb_put_ini "$dir" "<X>100<Y>300<BROWSER>c:\\b.exe<RDPX>800<RPDY>600<END>
<ITEM>Zulu last<HOST>zulu<ICON>7<COL>-1
  <NAME>Alpha<RUN>$rec<PARAMS>alpha %HOST%<IICON>5<CONFIRM>0<BOLD>0
  <NAME>Record<RUN>$rec<PARAMS>record %HOST%<IICON>5<CONFIRM>0<BOLD>0
$(for i in $(seq -w 0 199); do echo "<ITEM>Host $i<HOST>h$i<ICON>3<COL>-1"; done)"

ini_lacks() { ! qb_ini_has "$dir" "$1"; }
# The list: first visible row, rows per page, rows, focused row.
list_state() { read -r TOP PAGE COUNT FOCUS < <(poke list Quillbank 1007); }
focus_is() { list_state && [ "$FOCUS" = "$1" ] && [ "$FOCUS" -ge "$TOP" ] && [ "$FOCUS" -lt $((TOP + PAGE)) ]; }
top_is() { list_state && [ "$TOP" = "$1" ]; }
last_shown() { list_state && [ $((TOP + PAGE)) -ge "$COUNT" ]; }
# The X focus follows the pointer: it rests on the caption, away from the rows and menus.
ready() {
    qb_geometry "$win"
    xdotool mousemove $((X + 30)) $((Y + 8))
    qb_wait_ready "$win" || qb_fail "the main window did not take the keyboard back"
}
key() { xdotool key --clearmodifiers "$@"; }
# save_edit KEY SHOWN TITLE LINE ROW: the editor on SHOWN saves LINE, the focus on ROW.
save_edit() {
    key "$1"
    qb_expect "$1 edits" "$(poke gettext "Edit Item" 1002)" "$2"
    qb_dialog "Edit Item" 1002="$3" 1 >/dev/null
    qb_wait_for 10 qb_ini_has "$dir" "$4" || qb_fail "$1 did not save \"$3\""
    qb_wait_for 10 focus_is "$5" || qb_check_fail "the focus did not go to \"$3\" after $1"
    ready
}

qb_start "$dir"
win=$(qb_wait_window) || qb_fail "no main window with 201 hosts"
xdotool windowfocus --sync "$win"
ready

# --- Whole rows on the screen, a scroll bar, the first row focused.
read -r _ screen_h < <(xdotool getdisplaygeometry)
list_state
[ $((Y + HEIGHT)) -le "$screen_h" ] && [ "$PAGE" -lt "$COUNT" ] || qb_check_fail "the window does not fit the screen"
qb_expect "outer height of whole rows" "$HEIGHT" $((PAGE * 17 + 25))
[ "$WIDTH" -gt 150 ] || qb_check_fail "no room for the scroll bar: width $WIDTH"
qb_expect "focus at start" "$FOCUS" 0

# --- The last host by keyboard, wheel and scroll bar.
key End
qb_wait_for 10 focus_is 200 || qb_check_fail "End did not bring the last row into view"
key Page_Up
qb_wait_for 10 focus_is $((201 - PAGE)) || qb_check_fail "Page Up did not go to the first visible row"
key Home
qb_wait_for 10 focus_is 0 && top_is 0 || qb_check_fail "Home did not go back to the top"
xdotool mousemove $((X + 60)) $((Y + HEIGHT / 2))
for _ in $(seq 1 120); do last_shown && break; xdotool click 5; done
last_shown || qb_check_fail "the wheel did not reach the last row"
ready
key Home
qb_wait_for 10 top_is 0 || qb_check_fail "Home did not scroll back"
# Clicks in the trough above the down arrow (3 px frame, 16 px arrow).
for _ in $(seq 1 40); do last_shown && break; qb_click_in "$win" $((WIDTH - 11)) $((HEIGHT - 26)); done
last_shown || qb_check_fail "the scroll bar did not reach the last row"
ready

# --- The last host's entries: Enter opens its menu and runs the first; a letter runs its item.
key End
qb_wait_for 10 focus_is 200 || qb_fail "End did not focus the last row"
key Return
qb_wait_for 10 qb_menu_open || qb_fail "Enter did not open the host's menu"
key Return
qb_wait_for 15 qb_recorded_at_least "$dir" 1 || qb_fail "Enter in the menu started nothing"
ready
key Return
qb_wait_for 10 qb_menu_open || qb_fail "Enter did not open the menu again"
key r
qb_wait_for 15 qb_recorded_at_least "$dir" 2 || qb_fail "the letter R started nothing"
qb_expect "entries run from the keyboard" "$(qb_recorded "$dir" | tr '\n' '|')" "alpha zulu|record zulu|"
ready

# --- Type-ahead with a blank; F2 and Insert, the focus following.
# Type-ahead starts again after a pause of a second: if the row is missed, say how
# long the typing took on our side and where the focus went.
typing=$(date +%s%N)
xdotool type --delay 80 "host 15"
typing=$(( ($(date +%s%N) - typing) / 1000000 ))
qb_wait_for 10 focus_is 150 ||
    qb_check_fail "typing \"host 15\" did not reach Host 150: focus on row $FOCUS, typed in $typing ms"
save_edit F2 "Host 150" "Alpha first" "<ITEM>Alpha first<HOST>h150<ICON>3<COL>-1" 0
# Insert: "Alpha first", Host 000 ... 099, then the new host.
save_edit Insert "" "Host 0995" "<ITEM>Host 0995<HOST><ICON>0<COL>-1" 101
qb_wait_fit 202

# --- Delete asks first: No keeps the host, Yes deletes it.
for answer in 7 6; do
    key Delete
    qb_expect "Delete's question" "$(poke gettext "$box_title" 65535)" 'Delete "Host 0995"?'
    qb_dialog "$box_title" $answer || qb_fail "the question stayed open"
    ready
    [ $answer = 7 ] && { qb_ini_has "$dir" "<ITEM>Host 0995<HOST><ICON>0<COL>-1" || qb_check_fail "No deleted the host"; }
done
qb_wait_for 10 ini_lacks "<ITEM>Host 0995<HOST><ICON>0<COL>-1" || qb_check_fail "Yes did not delete the host"
qb_wait_fit 201

# --- Enter on a host without entries ends nothing; Alt+F4 saves the options and ends.
key Return
qb_wait_idle && ! qb_pid_gone "$QB_PID" || qb_fail "Enter ended the program"
key shift+F10
qb_wait_for 10 qb_menu_open || qb_fail "Shift+F10 opened no menu"
key Down Down Down Return
qb_dialog "Options" 1067=1280 1 || qb_fail "Options... opened no dialog"
ready
key alt+F4
qb_wait_exit || qb_fail "Alt+F4 did not end the program"
qb_expect "options saved by Alt+F4" "$(qb_ini_line "$dir" 1 | sed 's/.*<RDPX>//')" "1280<RPDY>600<END>"

qb_finish

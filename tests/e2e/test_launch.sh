#!/bin/bash
# Launching under Wine: a host's menu runs the recorder with "%HOST%" and "???"
# filled in; No to a confirmation starts nothing; a template's sub-menu shows its
# items; Shift held while picking runs the entry and ends the program unsaved.
# Usage: test_launch.sh path/to/quillbank.exe
set -u
. "$(dirname "$0")/lib.sh"
qb_e2e_init "$1"

box_title=$(basename "$QB_EXE" .exe)
dir=$(qb_workdir)
rec=$(qb_recorder "$dir")
qb_put_ini "$dir" "<X>100<Y>100<BROWSER>c:\\b.exe<RDPX>800<RPDY>600<END>
<ITEM>Alpha<HOST>pc1<ICON>17<COL>-1
  <NAME>Record<RUN>$rec<PARAMS>-h %HOST% -u ??? -x ???<IICON>5<CONFIRM>0<BOLD>1
  <NAME>Confirmed<RUN>$rec<PARAMS>confirmed %HOST%<IICON>70<CONFIRM>1<BOLD>0
  <WINDOWS>1<P1>%HOST%<P2>C\$,D\$<IICON>12
  <SEP>
  <NAME>Shifted<RUN>$rec<PARAMS>shift %HOST%<IICON>24<CONFIRM>0<BOLD>0"
ini_sum=$(md5sum <"$dir/quillbank.ini")

recorded_line() { qb_recorded "$dir" | sed -n "$1p"; }
has_lines() { qb_recorded_at_least "$dir" "$1"; }
# open_menu: a click on the only row once the window takes clicks again.
open_menu() {
    qb_wait_ready "$win" || qb_fail "the main window did not become ready for a click"
    qb_click_in "$win" 40 25
    qb_wait_for 10 qb_menu_open || qb_fail "no popup menu after a click on the host ($(qb_input_state))"
}
# The folder's unique name leaves out other tests' recorders.
recorder_gone() { ! pgrep -f "$(basename "$dir").recorder\.exe" >/dev/null; }
menus_at_least() { [ "$(qb_menu_windows | wc -l)" -ge "$1" ]; }
menus_below() { ! menus_at_least "$1"; }

qb_start "$dir"
win=$(qb_wait_window) || qb_fail "no main window"
qb_geometry "$win"

# --- The menu: its first item's icon cell holds several colours.
open_menu
qb_wait_drawn "$(qb_menu_windows | head -n 1)" || qb_check_fail "the menu was not drawn"
import -window root "$dir/menu.png"
colours=$(convert "$dir/menu.png" -crop "16x16+$((X + 43))+$((Y + 28))" +repage -unique-colors -format '%w' info:)
[ "$colours" -ge 3 ] || qb_check_fail "the first item shows no icon ($colours colours)"

# --- "Record": "%HOST%" and both "???" filled in; the answer typed in the prompt.
poke menu 0 >/dev/null
qb_dialog "User Input" 1053="typed answer" 1 || qb_fail "no User Input prompt"
qb_wait_for 15 has_lines 1 || qb_fail "the recorder was not started"
qb_expect "parameters composed" "$(recorded_line 1)" "-h pc1 -u typed answer -x typed answer"

# --- "Confirmed": the box shows the stored text; No starts nothing, Yes runs it.
open_menu
poke menu 1 >/dev/null
qb_expect "confirmation text" "$(poke gettext "$box_title" 65535)" \
    "$(printf 'Are you sure you want to run:\n\n"%s confirmed %%HOST%%"' "$rec")"
qb_dialog "$box_title" 7 || qb_fail "the confirmation box stayed open after No"
qb_wait_idle || qb_fail "the main window did not come back after No"
qb_wait_for 15 recorder_gone || qb_fail "a recorder is still running after No"
qb_expect "nothing started after No" "$(qb_recorded "$dir" | wc -l)" 1
open_menu
poke menu 1 >/dev/null
poke click "$box_title" 6 >/dev/null || qb_fail "no confirmation box the second time"
qb_wait_for 15 has_lines 2 || qb_fail "Yes did not start the entry"
qb_expect "confirmed entry's parameters" "$(recorded_line 2)" "confirmed pc1"

# --- The template's sub-menu: RDP, two shares, Manage, Reboot, Shutdown, Ping.
open_menu
poke menu 2 >/dev/null
qb_wait_for 10 menus_at_least 2 || qb_check_fail "the template's sub-menu did not open"
sub=$(qb_menu_windows | tail -n 1)
qb_wait_drawn "$sub" || qb_check_fail "the sub-menu was not drawn"
qb_geometry "$sub"
[ "${HEIGHT:-0}" -ge 140 ] || qb_check_fail "sub-menu too small for seven items: ${HEIGHT:-none}"
# One Escape at a time: one posted as the sub-menu closes is lost with it.
poke menuclose >/dev/null
qb_wait_for 10 menus_below 2 || qb_check_fail "Escape did not close the sub-menu"
poke menuclose >/dev/null
qb_wait_for 10 menus_below 1 || qb_check_fail "the menu did not close"

# --- Shift held while picking: the entry runs, the program ends, no save.
open_menu
xdotool keydown shift
poke held 0x10 10 || qb_check_fail "Wine did not see Shift held"
poke menu 3 >/dev/null
qb_wait_for 15 has_lines 3 || qb_check_fail "the entry picked with Shift was not started"
qb_wait_exit "$QB_PID" 15 || qb_check_fail "the program did not end after a Shift pick"
xdotool keyup shift
qb_expect "Shift pick's parameters" "$(recorded_line 3)" "shift pc1"
qb_expect "catalogue left unsaved" "$(md5sum <"$dir/quillbank.ini")" "$ini_sum"

qb_finish

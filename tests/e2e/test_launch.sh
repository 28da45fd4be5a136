#!/bin/bash
# Launching under Wine: a click on a host opens its owner-drawn menu; the
# picked entry runs the recorder (a stand-in program that writes down the
# parameters it got) with "%HOST%" and "???" filled in; a confirmation
# answered No starts nothing; a template's sub-menu shows its items; and
# Shift held while picking runs the entry and ends the program unsaved.
# Usage: test_launch.sh path/to/quillbank.exe
set -u
. "$(dirname "$0")/lib.sh"
qb_e2e_init "$1"

RECORDER=$QB_BUILD_DIR/tests/recorder.exe
[ -f "$RECORDER" ] || qb_fail "no recorder at $RECORDER"
# The message boxes are captioned with the executable's name.
box_title=$(basename "$QB_EXE" .exe)

dir=$(qb_workdir)
cp "$RECORDER" "$dir/recorder.exe"
rec=$(winepath -w "$dir/recorder.exe" 2>/dev/null)
[ -n "$rec" ] || qb_fail "winepath gave no Windows path"
printf '%s\n' "<X>100<Y>100<BROWSER>c:\\b.exe<RDPX>800<RPDY>600<END>
<ITEM>Alpha<HOST>pc1<ICON>17<COL>-1
  <NAME>Record<RUN>$rec<PARAMS>-h %HOST% -u ??? -x ???<IICON>5<CONFIRM>0<BOLD>1
  <NAME>Confirmed<RUN>$rec<PARAMS>confirmed %HOST%<IICON>70<CONFIRM>1<BOLD>0
  <WINDOWS>1<P1>%HOST%<P2>C\$,D\$<IICON>12
  <SEP>
  <NAME>Shifted<RUN>$rec<PARAMS>shift %HOST%<IICON>24<CONFIRM>0<BOLD>0" |
    sed 's/$/\r/' >"$dir/quillbank.ini"
ini_sum=$(md5sum <"$dir/quillbank.ini")

recorded() { tr -d '\r' 2>/dev/null <"$dir/recorded.txt"; }
recorded_lines() { recorded | wc -l | tr -d ' '; }
has_lines() { [ "$(recorded_lines)" -ge "$1" ]; }

# open_menu WIN: a click on the only row once the window takes clicks again
# (a launch may have just closed a box); waits for the popup menu.
open_menu() {
    qb_wait_ready "$1" || qb_fail "the main window did not become ready for a click"
    qb_click_in "$1" 40 25
    qb_wait_for 10 menu_open || qb_fail "no popup menu after a click on the host"
}
menu_open() { xdotool search --onlyvisible --class '#32768' >/dev/null 2>&1 ||
              [ -n "$(menu_windows)" ]; }
# Wine's popup menus have no X class of their own that xdotool knows; they
# are the override-redirect windows with no name.
menu_windows() {
    local id
    for id in $(xdotool search --onlyvisible --name '^$' 2>/dev/null); do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' && echo "$id"
    done
}

# A started recorder is a process of its own until it has written its line.
# Its folder's name is unique, so recorders of other tests do not count.
recorder_gone() { ! pgrep -f "$(basename "$dir").recorder\.exe" >/dev/null; }

sub_menu_open() { [ "$(menu_windows | wc -l)" -ge 2 ]; }
menus_at_most() { [ "$(menu_windows | wc -l)" -le "$1" ]; }
menu_gone() { [ -z "$(menu_windows)" ]; }

qb_start "$dir"
win=$(qb_wait_window) || qb_fail "no main window"
qb_geometry "$win"
MX=$X MY=$Y

# --- The menu: its first item shows an icon, seen in a picture of the screen.
open_menu "$win"
qb_wait_drawn "$(menu_windows | head -n 1)" || qb_check_fail "the menu was not drawn"
shot=$dir/menu.png
import -window root "$shot"
cursor_x=$((MX + 40)) cursor_y=$((MY + 25))
# The first item's icon cell lies right of the cursor: it holds several colours.
colours=$(convert "$shot" -crop "16x16+$((cursor_x + 3))+$((cursor_y + 3))" +repage -unique-colors -format '%w' info:)
[ "$colours" -ge 3 ] || qb_check_fail "the first item shows no icon ($colours colours)"

# --- "Record": "%HOST%" and both "???" filled in; the answer typed in the prompt.
poke menu 0 >/dev/null
poke wait "User Input" 10 >/dev/null || qb_fail "no User Input prompt"
poke settext "User Input" 1053 "typed answer" >/dev/null
poke click "User Input" 1 >/dev/null
qb_wait_for 15 has_lines 1 || qb_fail "the recorder was not started"
qb_expect "parameters composed" "$(recorded | sed -n 1p)" "-h pc1 -u typed answer -x typed answer"

# --- "Confirmed": the box shows the stored text; No starts nothing, Yes runs it.
open_menu "$win"
poke menu 1 >/dev/null
poke wait "$box_title" 10 >/dev/null || qb_fail "no confirmation box"
qb_expect "confirmation text" "$(poke gettext "$box_title" 65535)" \
    "$(printf 'Are you sure you want to run:\n\n"%s confirmed %%HOST%%"' "$rec")"
poke click "$box_title" 7 >/dev/null
poke gone "$box_title" 10 >/dev/null || qb_fail "the confirmation box stayed open after No"
# Back at rest, the program has done all that No leads to, and a recorder
# it started would still be running or have written its line.
qb_wait_idle || qb_fail "the main window did not come back after No"
qb_wait_for 15 recorder_gone || qb_fail "a recorder is still running after No"
qb_expect "nothing started after No" "$(recorded_lines)" 1
open_menu "$win"
poke menu 1 >/dev/null
poke wait "$box_title" 10 >/dev/null || qb_fail "no confirmation box the second time"
poke click "$box_title" 6 >/dev/null
qb_wait_for 15 has_lines 2 || qb_fail "Yes did not start the entry"
qb_expect "confirmed entry's parameters" "$(recorded | sed -n 2p)" "confirmed pc1"

# --- The template's sub-menu: RDP, two shares, Manage, Reboot, Shutdown, Ping.
open_menu "$win"
poke menu 2 >/dev/null
qb_wait_for 10 sub_menu_open || qb_check_fail "the template's sub-menu did not open"
qb_wait_drawn "$(menu_windows | tail -n 1)" || qb_check_fail "the sub-menu was not drawn"
sub=$(menu_windows | tail -n 1)
if [ -n "$sub" ]; then
    eval "$(xdotool getwindowgeometry --shell "$sub" | grep -E '^(HEIGHT)=')"
    # Seven items, each at least 20 pixels high.
    [ "$HEIGHT" -ge 140 ] || qb_check_fail "sub-menu too small for seven items: $HEIGHT"
fi
# One Escape at a time: a key posted to the sub-menu just before an earlier
# Escape closes it is lost with its window.
poke menuclose >/dev/null
qb_wait_for 10 menus_at_most 1 || qb_check_fail "Escape did not close the sub-menu"
poke menuclose >/dev/null
qb_wait_for 10 menu_gone || qb_check_fail "the menu did not close"

# --- Shift held while picking: the entry runs, the program ends, no save.
open_menu "$win"
xdotool keydown shift
poke menu 3 >/dev/null
qb_wait_for 15 has_lines 3 || qb_check_fail "the entry picked with Shift was not started"
qb_wait_exit "$QB_PID" 15 || qb_check_fail "the program did not end after a Shift pick"
xdotool keyup shift
qb_expect "Shift pick's parameters" "$(recorded | sed -n 3p)" "shift pc1"
qb_expect "catalogue left unsaved" "$(md5sum <"$dir/quillbank.ini")" "$ini_sum"

qb_finish

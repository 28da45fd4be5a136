#!/bin/bash
# 501 hosts, real key presses: Ctrl+F opens the find field above the rows; typing finds a host by its host name
# without resizing, Enter runs the found host's entry, Escape brings every row back. The stored hotkey,
# pressed while another Wine program has the keyboard, brings the window with the field open and empty; another
# program cannot have it meanwhile (error 1409), and one that holds it at start is told once.
# Usage: test_find.sh path/to/quillbank.exe
set -u -o pipefail
. "$(dirname "$0")/lib.sh"
qb_e2e_init "$1"

box_title=$(basename "$QB_EXE" .exe)
# Ctrl+Alt+Q: the hotkey control's value (HOTKEYF_CONTROL | HOTKEYF_ALT in the high byte), and as registered.
hotkey_value=$((0x0651))
forget_hotkey() { wine reg delete 'HKCU\Software\Quillbank' /v Hotkey /f >/dev/null 2>&1; }
trap 'forget_hotkey; qb_cleanup' EXIT
wine reg add 'HKCU\Software\Quillbank' /v Hotkey /t REG_DWORD /d "$hotkey_value" /f >/dev/null 2>&1 ||
    qb_fail "the hotkey could not be stored"

dir=$(qb_workdir)
rec=$(qb_recorder "$dir")
qb_put_ini "$dir" "<X>100<Y>100<BROWSER>c:\\b.exe<RDPX>800<RPDY>600<END>
<ITEM>SQL prod<HOST>dc02<ICON>5<COL>255
  <NAME>Record<RUN>$rec<PARAMS>record %HOST%<IICON>5<CONFIRM>0<BOLD>0
$(for i in $(seq -w 0 499); do echo "<ITEM>Host $i<HOST>srv$i.corp<ICON>3<COL>$((10#$i % 3 ? -1 : 65280))"; done)"

key() { xdotool key --clearmodifiers "$@"; }
list_state() { read -r TOP PAGE COUNT FOCUS < <(poke list Quillbank 1007); }
count_is() { list_state && [ "$COUNT" = "$1" ]; }
outer_height() { poke outer Quillbank 1007 | cut -d' ' -f2; }
# What the window's thread has: "Edit" when the keyboard is in the find field.
input_state() { poke input Quillbank; }
field_has_keys() { input_state | grep -q 'focus [0-9A-Fa-fx]* Edit '; }
in_front() { input_state | grep -q '^foreground [0-9A-Fa-fx]* #32770 "Quillbank"'; }
ready() {
    qb_geometry "$win"
    xdotool mousemove $((X + 30)) $((Y + 8))
    qb_wait_ready "$win" || qb_fail "the main window did not take the keyboard back"
}

qb_start "$dir"
win=$(qb_wait_window) || qb_fail "no main window with 501 hosts"
xdotool windowfocus --sync "$win"
ready
closed=$(outer_height)

# --- Held by the window: a second program cannot have it.
qb_expect "another program's try for the hotkey" "$(poke hotkey 3 0x51)" "error 1409"

# --- Ctrl+F: the field with the keyboard above the rows; the window, at its capped height, keeps it while finding.
first_row_y() { poke rows Quillbank 1007 | cut -d' ' -f8; }
row_y=$(first_row_y)
key ctrl+f
qb_wait_for 10 field_has_keys || qb_fail "Ctrl+F did not open the find field: $(input_state)"
[ "$(first_row_y)" -gt "$row_y" ] || qb_check_fail "the rows did not make room for the field"
qb_expect "the capped height with the field" "$(outer_height)" "$closed"
xdotool type --delay 50 "srv01" && key shift+Left && xdotool type 2 && qb_wait_for 10 count_is 10 && qb_wait_drawn "$win" &&
    qb_shot "$win" "$dir/found.png" && [ "$(qb_pixel "$dir/found.png" 120 $(($(first_row_y) - Y + 25)))" = 00ff00 ] ||
    qb_check_fail "a letter typed over the last, as many rows found: Host 011 still painted where Host 021 (green) is"
key shift+Home && xdotool type --delay 50 "DC0"
qb_wait_for 10 count_is 1 || qb_check_fail "typing \"DC0\" did not find the one host: $COUNT rows"
qb_expect "the height while finding" "$(outer_height)" "$closed"
xdotool type --delay 50 "2 prod"
qb_wait_for 10 count_is 1 || qb_check_fail "\"DC02 prod\" lost the host: $COUNT rows"

# --- Enter: the found host's menu, its first item selected; Enter runs it.
key Return
qb_wait_for 10 qb_menu_open || qb_fail "Enter in the field opened no menu"
key Return
qb_wait_for 15 qb_recorded_at_least "$dir" 1 || qb_fail "the found host's entry did not run"
qb_expect "the found host's entry" "$(qb_recorded "$dir")" "record dc02"
ready

# --- Escape: every row back, the field gone, the window as it was.
xdotool mousemove $((X + 30)) $((Y + 8))
qb_wait_for 10 field_has_keys || qb_fail "the keyboard did not come back to the field: $(input_state)"
key Escape
qb_wait_for 10 count_is 501 || qb_check_fail "Escape did not bring every row back: $COUNT rows"
qb_wait_for 10 eval '[ "$(outer_height)" = "$closed" ]' || qb_check_fail "the window kept the field's height"
list_state
qb_expect "the focus and selection after Escape" "$FOCUS $(input_state | sed 's/.*selected row //')" "500 -1"

# --- The hotkey, pressed while another Wine window has the keyboard: the window in front, the field open, empty.
(cd "$dir" && exec setsid wine notepad) </dev/null >/dev/null 2>&1 &
QB_PIDS+=("$!")
other=$(qb_wait_window 'Notepad$') || qb_fail "no other Wine window"
# Its right part: away from the launcher, which stands at the screen's left.
qb_geometry "$other"
qb_click_in "$other" $((WIDTH - 40)) $((HEIGHT / 2))
qb_wait_for 10 eval '! in_front' || qb_fail "the other window did not come to the front: $(input_state)"
key ctrl+alt+q
qb_wait_for 10 in_front || qb_fail "the hotkey did not bring the window: $(input_state)"
qb_wait_for 10 field_has_keys || qb_fail "the hotkey did not open the find field: $(input_state)"
qb_expect "the field after the hotkey" "$(poke gettext Quillbank 1009)" ""
qb_close_ends "$win"

# --- Held by another program at start: told once, in its words; the program runs without it.
held=$QB_TMP/held.txt
(exec setsid wine "$QB_POKE" hotkey 3 0x51 hold >"$held" 2>/dev/null) </dev/null &
QB_PIDS+=("$!")
qb_wait_for 10 grep -q held "$held" || qb_fail "the other program did not get the hotkey"
qb_start "$dir"
poke wait "$box_title" 30 || qb_fail "no message about the taken hotkey"
qb_expect "the message at start" "$(poke gettext "$box_title" 65535)" \
    "The hotkey Ctrl+Alt+Q is in use by another program."
qb_dialog "$box_title" 1 || qb_fail "the message stayed open"
win=$(qb_wait_window) || qb_fail "no main window after the message"
qb_close_ends "$win"

qb_finish

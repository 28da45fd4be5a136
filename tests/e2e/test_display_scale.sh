#!/bin/bash
# The program at 120, 144 and 192 DPI (every other script runs at 96): whole rows
# of the scale's icons, host menu items taller than their icons, the editors'
# texts whole, and a copied host's row added whole. The prefix is set back to
# 96 DPI however the script ends.
# Usage: test_display_scale.sh path/to/quillbank.exe
# With QB_SHOTS=DIR, pictures of each scale are left there to look at.
set -u -o pipefail
. "$(dirname "$0")/lib.sh"
qb_e2e_init "$1"

M_COPY=2
LIST_ID=1007 ENTRY_ADD=1048

trap 'qb_set_dpi 96; qb_cleanup' EXIT

shot() { [ -n "${QB_SHOTS:-}" ] && mkdir -p "$QB_SHOTS" && qb_shot "$1" "$QB_SHOTS/$2"; }
menu_height() {
    local id
    id=$(qb_menu_windows | head -n 1)
    [ -n "$id" ] && qb_wait_drawn "$id" && qb_geometry "$id" && echo "$HEIGHT"
}

# Alpha's menu: a command, the template's sub-menu, a web address (no separators).
ini='<X>100<Y>100<BROWSER>c:\b.exe<RDPX>800<RPDY>600<END>
<ITEM>Alpha<HOST>a01<ICON>17<COL>-1
  <NAME>Console<RUN>cmd.exe<PARAMS>/k<IICON>5<CONFIRM>0<BOLD>1
  <WINDOWS>1<P1>a01<P2>C$,D$<IICON>17
  <URL>http://%HOST%/<NAME>Web<ALT>0<IICON>41
<ITEM>Bravo<HOST>b01<ICON>71<COL>255
<ITEM>Charlie with a long title<HOST>c01<ICON>70<COL>-1
<ITEM>Delta<HOST>d01<ICON>3<COL>-1'

for dpi in 120 144 192; do
    qb_log "at $dpi DPI"
    qb_set_dpi "$dpi"
    icon=$((dpi >= 144 ? 32 : 16))
    dir=$(qb_workdir "$ini")
    qb_start "$dir"
    win=$(qb_wait_window) || qb_fail "no main window at $dpi DPI"
    shot "$win" "main-$dpi.png"

    # --- Rows: the scale's icons, every row whole, the window fitted to them.
    read -r row_h icon_w icon_h last_bottom client_h count list_x list_y < <(poke rows Quillbank $LIST_ID) ||
        qb_fail "no rows measured at $dpi DPI"
    qb_expect "icon size at $dpi DPI" "${icon_w}x${icon_h}" "${icon}x${icon}"
    ((row_h > icon)) || qb_check_fail "rows of $row_h pixels for $icon-pixel icons at $dpi DPI"
    ((dpi != 144 || row_h >= 24)) || qb_check_fail "rows of $row_h pixels at 144 DPI"
    qb_expect "list height at $dpi DPI" "$client_h" $((count * row_h + $(qb_scaled 2 "$dpi")))
    ((last_bottom <= client_h)) || qb_check_fail "the last row ends at $last_bottom, below the list's $client_h"
    qb_geometry "$win"
    qb_expect "window height at $dpi DPI" "$HEIGHT" $((count * row_h + $(qb_scaled 25 "$dpi")))

    # --- Alpha's menu: three items, each taller than its icon.
    qb_wait_ready "$win" || qb_fail "the main window did not become ready for a click at $dpi DPI"
    xdotool mousemove $((list_x + $(qb_scaled 40 "$dpi"))) $((list_y + row_h / 2)) click 1
    qb_wait_for 10 qb_menu_open || qb_fail "no host menu at $dpi DPI ($(qb_input_state))"
    height=$(menu_height) || qb_fail "the host menu was not drawn at $dpi DPI"
    qb_log "rows $row_h, icons $icon_w, window $WIDTH x $HEIGHT, host menu $height high"
    ((height >= 3 * (icon + 4))) || qb_check_fail "host menu of 3 items $height pixels high for $icon-pixel icons"
    [ -n "${QB_SHOTS:-}" ] && import -window root "$QB_SHOTS/menu-$dpi.png"
    poke menuclose >/dev/null
    qb_wait_for 10 eval '! qb_menu_open' || qb_fail "Escape did not close the host menu at $dpi DPI"

    # --- The host editor (for a copy) and the entry editor: every text whole; the copy adds a row.
    qb_wait_ready "$win" || qb_fail "the main window did not come back after the menu at $dpi DPI"
    poke rclick Quillbank "$(qb_scaled 40 "$dpi")" $((row_h / 2)) >/dev/null
    poke menu $M_COPY >/dev/null || qb_fail "no context menu at $dpi DPI"
    editor=$(qb_wait_window '^Edit Item$') || qb_fail "Copy did not open the host editor at $dpi DPI"
    shot "$editor" "host-editor-$dpi.png"
    report=$(poke fits "Edit Item") || qb_check_fail "host editor at $dpi DPI: $report"
    poke click "Edit Item" $ENTRY_ADD >/dev/null
    entry=$(qb_wait_window '^Edit Command$') || qb_fail "Add did not open the entry editor at $dpi DPI"
    shot "$entry" "entry-editor-$dpi.png"
    report=$(poke fits "Edit Command") || qb_check_fail "entry editor at $dpi DPI: $report"
    qb_dialog "Edit Command" 2 || qb_fail "Cancel did not close the entry editor at $dpi DPI"
    qb_dialog "Edit Item" 1 || qb_fail "OK did not close the host editor at $dpi DPI"
    qb_wait_fit 5 "$dpi"
    shot "$win" "main-copied-$dpi.png"

    qb_wait_ready "$win" || qb_fail "the main window did not come back after the editors at $dpi DPI"
    poke post Quillbank 0x10 >/dev/null
    qb_wait_exit || qb_fail "WM_CLOSE did not end the program at $dpi DPI"
done

qb_finish

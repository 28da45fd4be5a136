#!/bin/bash
# Remakes the README's pictures in docs/ from the sample catalogue, with the
# end-to-end harness: the main window, a host's menu with its template
# sub-menu open, and the host editor. Each picture is cropped to the windows
# it shows and stored as a small palette PNG. At another display scale than
# 96 DPI the pictures' names end in it (main-window-144.png), taken on a
# screen as large as such a scale's usually is.
# Usage: scripts/screenshots.sh [WIN64_DIR] [DPI]   (as `make screenshots` calls it)
set -u -o pipefail
cd "$(dirname "$0")/.." || exit 1
DOCS=$(pwd)/docs
DPI=${2:-96}
SUFFIX=
if [ "$DPI" != 96 ]; then
    SUFFIX=-$DPI
    export QB_SCREEN=1920x1200x24
    unset WINEPREFIX
fi
. tests/e2e/lib.sh
qb_e2e_init "${1:-build/win64}/src/quillbank.exe"
if [ "$DPI" != 96 ]; then
    trap 'qb_set_dpi 96; qb_cleanup' EXIT
    qb_set_dpi "$DPI"
fi

# The host shown: rows are sorted by title, so "Mail server" is the fourth.
# Its menu holds every kind of entry, the template among them.
ROW=3
M_TEMPLATE=1 M_PROPERTIES=4
LIST_ID=1007 ENTRY_LIST_ID=1000

# Wine's popup menus are the visible override-redirect windows with no name.
menu_windows() {
    local id
    for id in $(xdotool search --onlyvisible --name '^$' 2>/dev/null); do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' && echo "$id"
    done
}
menus_are() { [ "$(menu_windows | wc -l)" -eq "$1" ]; }

# keep FILE NAME: FILE as docs/NAME, without metadata, as an 8-bit palette.
keep() {
    mkdir -p "$DOCS"
    convert "$1" -strip -define png:compression-level=9 PNG8:"$DOCS/$2" || qb_fail "could not write docs/$2"
    qb_log "docs/$2: $(identify -format '%wx%h' "$DOCS/$2"), $(stat -c %s "$DOCS/$2") bytes"
}

dir=$(qb_workdir)
cp samples/quillbank.ini "$dir/quillbank.ini"
qb_start "$dir"
win=$(qb_wait_window) || qb_fail "no main window"

# --- The main window, before any click marks a row.
qb_shot "$win" "$dir/main.png"
keep "$dir/main.png" "main-window$SUFFIX.png"

# --- The host's menu, then its template's sub-menu, both drawn.
# The menu opens at the pointer: the same point of the row at every scale.
read -r ROW_H _ < <(poke rows Quillbank $LIST_ID) || qb_fail "no rows in the main window"
ROW_Y=$(($(qb_scaled 7 "$DPI") + ROW * ROW_H)) # in the row, in the client area
CAPTION_H=$(qb_scaled 18 "$DPI")              # outer top to client top (frame and small caption)
qb_wait_ready "$win" || qb_fail "the main window did not become ready for a click"
qb_click_in "$win" "$(qb_scaled 40 "$DPI")" $((CAPTION_H + ROW_Y))
qb_wait_for 10 menus_are 1 || qb_fail "no menu after a click on the host"
poke menu $M_TEMPLATE >/dev/null || qb_fail "could not pick the template"
qb_wait_for 10 menus_are 2 || qb_fail "the template's sub-menu did not open"
menus=$(menu_windows)
for id in $menus; do
    qb_wait_drawn "$id" || qb_fail "a menu was not drawn"
done
# The crop: the smallest rectangle holding the main window and both menus.
left=99999 top=99999 right=0 bottom=0
for id in $win $menus; do
    qb_geometry "$id"
    ((X < left)) && left=$X
    ((Y < top)) && top=$Y
    ((X + WIDTH > right)) && right=$((X + WIDTH))
    ((Y + HEIGHT > bottom)) && bottom=$((Y + HEIGHT))
done
import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$dir/menu.png" ||
    qb_fail "no picture of the menus"
keep "$dir/menu.png" "host-menu$SUFFIX.png"
poke menuclose >/dev/null
qb_wait_for 10 menus_are 1 || qb_fail "Escape did not close the sub-menu"
poke menuclose >/dev/null
qb_wait_for 10 menus_are 0 || qb_fail "Escape did not close the menu"

# --- The same host in the host editor, opened from its context menu.
qb_wait_ready "$win" || qb_fail "the main window did not become ready for a click"
poke rclick Quillbank "$(qb_scaled 40 "$DPI")" $ROW_Y >/dev/null
poke menu $M_PROPERTIES >/dev/null || qb_fail "no context menu on the host"
editor=$(qb_wait_window '^Edit Item$') || qb_fail "Properties did not open the host editor"
# A click on the first entry moves the focus from the title, whose blinking
# caret would make every run's picture differ, to the list.
qb_wait_ready "$editor" "Edit Item" || qb_fail "the host editor did not become ready for a click"
read -r ENTRY_H _ _ _ _ _ _ ENTRIES_Y < <(poke rows "Edit Item" $ENTRY_LIST_ID) || qb_fail "no entries in the editor"
qb_geometry "$editor"
xdotool mousemove $((X + $(qb_scaled 60 "$DPI"))) $((ENTRIES_Y + ENTRY_H / 2)) click 1
qb_wait_idle "Edit Item" || qb_fail "the host editor did not take the click"
qb_wait_drawn "$editor" || qb_fail "the host editor was not drawn"
qb_shot "$editor" "$dir/editor.png"
keep "$dir/editor.png" "host-editor$SUFFIX.png"
poke click "Edit Item" 2 >/dev/null
poke gone "Edit Item" 10 || qb_fail "Cancel did not close the host editor"

qb_wait_ready "$win" || qb_fail "the main window did not become ready for a click"
qb_close "$win"
qb_wait_exit || qb_fail "the program did not end"
qb_log "pictures in $DOCS"

#!/bin/bash
# The main window under Wine: size, position, rows, colours, and what a close writes.
# Usage: test_main_window.sh path/to/quillbank.exe
set -u
. "$(dirname "$0")/lib.sh"
qb_e2e_init "$1"

ROW_H=17          # Wine: 16 px icon + 1 (text alone, Tahoma 8, would give 14)
FRAME_W=150       # template 102 at 96 DPI
FRAME_H=289

# --- No file: template size, empty list, and a close writes a new file.
dir=$(qb_workdir)
qb_start "$dir"
win=$(qb_wait_window) || qb_fail "no main window without a file"
qb_geometry "$win"
qb_expect "size without a file" "${WIDTH}x${HEIGHT}" "${FRAME_W}x${FRAME_H}"
# Centred on the work area, which is the whole virtual screen here.
read -r screen_w screen_h < <(xdotool getdisplaygeometry)
qb_expect "centred without a file" "$X,$Y" "$(((screen_w - WIDTH) / 2)),$(((screen_h - HEIGHT) / 2))"
qb_close_ends "$win"
qb_expect "hosts written for an empty list" "$(wc -l <"$dir/quillbank.ini" | tr -d ' ')" 1
[[ "$(qb_ini_line "$dir" 1)" == "<X>"*"<Y>"*'<BROWSER>c:\Program Files\Internet Explorer\iexplore.exe<RDPX>1024<RPDY>768<END>' ]] ||
    qb_check_fail "options line: $(qb_ini_line "$dir" 1)"

# --- Three hosts at a saved position: height, rows, icons, a red row; closed unchanged,
# the file keeps even the line the program ignores.
ini='<X>200<Y>150<BROWSER>c:\b.exe<RDPX>800<RPDY>600<END>
<ITEM>Bravo<HOST>b01<ICON>71<COL>255
; a note the program ignores
  <SEP>
<ITEM>Alpha<HOST>a01<ICON>17<COL>-1
<ITEM>Charlie<HOST>c01<ICON>70<COL>-1
  <NAME>Console<RUN>cmd.exe<PARAMS>/k<IICON>5<CONFIRM>0<BOLD>1'
dir=$(qb_workdir "$ini")
qb_start "$dir"
win=$(qb_wait_window) || qb_fail "no main window with three hosts"
qb_geometry "$win"
qb_expect "position from the file" "$X,$Y" "200,150"
qb_expect "size with three rows" "${WIDTH}x${HEIGHT}" "${FRAME_W}x$((3 * ROW_H + 25))"
qb_expect "taskbar button without <HIDE>" "$(poke appwindow Quillbank)" 1
shot=$dir/three.png
qb_shot "$win" "$shot"
# The list's top: the first line in the rows' face colour. Sorted, Bravo (red) is second.
face=$(qb_pixel "$shot" $((WIDTH - 8)) $((HEIGHT - 4)))
for ((top = 10; top < HEIGHT; top++)); do [ "$(qb_pixel "$shot" $((WIDTH - 8)) "$top")" = "$face" ] && break; done
[ "$top" -lt "$HEIGHT" ] || qb_fail "no list rows found in the picture"
qb_expect "first row (Alpha) on the button face" "$(qb_pixel "$shot" $((WIDTH - 8)) $((top + ROW_H / 2)))" "$face"
qb_expect "second row (Bravo, colour 255) red" "$(qb_pixel "$shot" $((WIDTH - 8)) $((top + ROW_H + ROW_H / 2)))" "ff0000"
# Every row's icon cell holds more colours than the plain row.
for row in 0 1 2; do
    colours=$(convert "$shot" -crop "20x$((ROW_H - 2))+0+$((top + row * ROW_H + 1))" +repage -unique-colors -format '%w' info:)
    [ "$colours" -ge 3 ] || qb_check_fail "row $row shows no icon ($colours colours)"
done
qb_close_ends "$win"
qb_expect "closed unchanged: the file as it was" "$(qb_ini "$dir")" "$ini"

# --- "<HIDE>": no taskbar button, and the flag survives the save.
dir=$(qb_workdir '<X>40<Y>60<BROWSER>c:\b.exe<RDPX>1024<RPDY>768<HIDE><END>
<ITEM>Solo<HOST>s<ICON>7<COL>-1')
qb_start "$dir"
win=$(qb_wait_window) || qb_fail "no main window with <HIDE>"
qb_geometry "$win"
qb_expect "one-row size" "${WIDTH}x${HEIGHT}" "${FRAME_W}x$((ROW_H + 25))"
qb_expect "no taskbar button with <HIDE>" "$(poke appwindow Quillbank)" 0
qb_close_ends "$win"
qb_expect "taskbar flag saved" "$(qb_ini_line "$dir" 1)" '<X>40<Y>60<BROWSER>c:\b.exe<RDPX>1024<RPDY>768<HIDE><END>'

qb_finish

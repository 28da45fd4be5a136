#!/bin/bash
# Remembered passwords under Wine: a password typed with the box checked is kept
# in the Credential Manager and passed again with no prompt; the entry's
# parameters changed in the file by another program ask again, saying so; Ctrl
# held at the pick asks again and replaces it; "Forget remembered passwords"
# deletes it. After each step no file of the catalogue's (the file, its backup,
# its lock, a temporary file) holds a password.
# Usage: test_credentials.sh path/to/quillbank.exe
# QB_DPI=N runs it at that display scale; QB_SHOTS=DIR leaves pictures of the
# prompt there.
set -u -o pipefail
. "$(dirname "$0")/lib.sh"
qb_e2e_init "$1"

M_FORGET=5
PROMPT="Password Input" FIELD=1053 NOTICE=1090 REMEMBER=1091
CHANGED="The command changed since this password was remembered."
box_title=$(basename "$QB_EXE" .exe)
if [ -n "${QB_DPI:-}" ]; then
    trap 'qb_set_dpi 96; qb_cleanup' EXIT
    qb_set_dpi "$QB_DPI"
fi

dir=$(qb_workdir)
rec=$(qb_recorder "$dir")
# A host name of this run alone: the prefix's Credential Manager outlives it.
host="qbcred$$x$RANDOM"
passwords=("first-S3cret" "second-S3cret" "third-S3cret")
catalogue() {
    printf '%s\n' "<X>100<Y>100<BROWSER>c:\\b.exe<RDPX>800<RPDY>600<END>" \
        "<ITEM>Alpha<HOST>$host<ICON>17<COL>-1" \
        "  <NAME>Sign in<RUN>$rec<PARAMS>$1<IICON>5<CONFIRM>0<BOLD>0" | sed 's/$/\r/'
}
catalogue "-h %HOST% -p ***" >"$dir/quillbank.ini"

recorded_line() { qb_recorded "$dir" | sed -n "$1p"; }
has_lines() { qb_recorded_at_least "$dir" "$1"; }
shot() {
    [ -n "${QB_SHOTS:-}" ] || return 0
    mkdir -p "$QB_SHOTS"
    qb_find_window "^$PROMPT\$" && qb_wait_drawn "$QB_FOUND" && qb_shot "$QB_FOUND" "$QB_SHOTS/$1-${QB_DPI:-96}.png"
}
# open_menu: a click on the only row (where it is at any scale) once the window takes clicks.
open_menu() {
    local row_h list_x list_y
    qb_wait_ready "$win" || qb_fail "the main window did not become ready for a click"
    read -r row_h _ _ _ _ _ list_x list_y < <(poke rows Quillbank 1007) || qb_fail "no row to click"
    xdotool mousemove $((list_x + 40)) $((list_y + row_h / 2))
    qb_wait_for "$QB_TIMEOUT" qb_pointer_over "$win" || qb_fail "the window is not under the pointer"
    xdotool click 1
    qb_wait_for 10 qb_menu_open || qb_fail "no popup menu after a click on the host ($(qb_input_state))"
}
pick() {
    open_menu
    poke menu 0 >/dev/null || qb_fail "no menu to pick from ($(qb_input_state))"
}
# launched N TEXT STEP: the Nth start passed TEXT, with no prompt left open.
launched() {
    if ! qb_wait_for 15 has_lines "$1"; then
        poke wait "$PROMPT" 0 && qb_fail "$3: the password was asked for"
        qb_fail "$3: the entry was not started"
    fi
    qb_expect "$3: parameters" "$(recorded_line "$1")" "$2"
}
# No file of the catalogue's holds a password typed so far.
no_password_in_files() {
    local file password
    for file in "$dir"/quillbank.ini*; do
        [ -e "$file" ] || continue
        for password in "${passwords[@]}"; do
            grep -qF -- "$password" "$file" && qb_check_fail "$1: $(basename "$file") holds a password"
        done
    done
    return 0
}
asked() {
    poke wait "$PROMPT" 10 ||
        qb_fail "$1: no Password Input prompt (starts: $(qb_recorded "$dir" | tr '\n' '|'); $(qb_input_state))"
    qb_expect "$1: the box" "$(poke gettext "$PROMPT" $REMEMBER)" "Remember in Windows Credential Manager"
    qb_expect "$1: the line above the field" "$(poke gettext "$PROMPT" $NOTICE)" "$2"
    qb_expect "$1: the field" "$(poke gettext "$PROMPT" $FIELD)" ""
    poke fits "$PROMPT" >"$QB_TMP/fits.txt" || qb_check_fail "$1: a text of the prompt is cut: $(tr -d '\r' <"$QB_TMP/fits.txt")"
}

qb_start "$dir"
win=$(qb_wait_window) || qb_fail "no main window"

# --- The first launch asks; OK with the box checked keeps the password.
pick
asked "first launch" ""
shot prompt-box
qb_dialog "$PROMPT" $FIELD="${passwords[0]}" $REMEMBER=+ 1 || qb_fail "the prompt did not close at OK"
launched 1 "-h $host -p ${passwords[0]}" "first launch"
no_password_in_files "after the first launch"

# --- The second passes the remembered password without a prompt.
pick
launched 2 "-h $host -p ${passwords[0]}" "second launch"
no_password_in_files "after the second launch"

# --- Another program changes the parameters: asked again, saying why; kept anew.
catalogue "-h %HOST% -v -p ***" >"$QB_TMP/changed.ini" && mv -f "$QB_TMP/changed.ini" "$dir/quillbank.ini"
pick
asked "changed parameters" "$CHANGED"
shot prompt-changed
qb_dialog "$PROMPT" $FIELD="${passwords[1]}" $REMEMBER=+ 1 || qb_fail "the prompt did not close at OK"
launched 3 "-h $host -v -p ${passwords[1]}" "changed parameters"
pick
launched 4 "-h $host -v -p ${passwords[1]}" "after the change"
no_password_in_files "after the change"

# --- Ctrl held: asked again with an empty field and the box checked; OK replaces it.
# Clicked, as a user does: with Ctrl down, posted Down and Return left Wine's menu open.
open_menu
menu=$(qb_menu_windows | head -n 1)
qb_wait_drawn "$menu" || qb_fail "the menu was not drawn"
qb_geometry "$menu"
xdotool keydown ctrl
poke held 0x11 10 || qb_check_fail "Wine did not see Ctrl held"
xdotool mousemove $((X + WIDTH / 2)) $((Y + 10)) click 1
poke wait "$PROMPT" 10
xdotool keyup ctrl
asked "Ctrl held" ""
qb_dialog "$PROMPT" $FIELD="${passwords[2]}" 1 || qb_fail "the prompt did not close at OK"
launched 5 "-h $host -v -p ${passwords[2]}" "Ctrl held"
pick
launched 6 "-h $host -v -p ${passwords[2]}" "after Ctrl"
no_password_in_files "after Ctrl"

# --- Forget: asked with the count, Yes deletes; the next launch asks, Cancel starts nothing.
qb_wait_ready "$win" || qb_fail "the main window did not become ready for a right click"
poke rclick Quillbank 40 7 >/dev/null
poke menu $M_FORGET >/dev/null || qb_fail "no context menu on the row ($(qb_input_state))"
poke wait "$box_title" 10 || qb_fail "no question after Forget"
qb_expect "the question" "$(poke gettext "$box_title" 65535)" "Forget 1 remembered passwords for \"$host\"?"
qb_dialog "$box_title" 6 || qb_fail "the question stayed open after Yes"
pick
asked "after Forget" ""
qb_dialog "$PROMPT" 2 || qb_fail "the prompt did not close at Cancel"
qb_wait_idle || qb_fail "the main window did not come back after Cancel"
qb_expect "starts after Cancel" "$(qb_recorded "$dir" | wc -l)" 6

# A close request saves, at any scale.
poke post Quillbank 0x10 >/dev/null
qb_wait_exit || qb_fail "a close request did not end the program"
no_password_in_files "after the close"
qb_finish

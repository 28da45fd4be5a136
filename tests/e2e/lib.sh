# Helpers of the end-to-end scripts: quillbank.exe under Wine in the virtual display.

QB_ROOT_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
QB_TIMEOUT=${QB_TIMEOUT:-30}
QB_PIDS=()
QB_OWN_ENV=0
QB_FAILED=0

qb_log() { echo "[$(date +%H:%M:%S)] $*" >&2; }
qb_check_fail() { qb_log "FAIL: $*"; QB_FAILED=1; }
qb_fail() { qb_log "FAIL: $*"; exit 1; }

qb_cleanup() {
    local pid
    for pid in "${QB_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${QB_PIDS[@]}"; do qb_wait_exit "$pid" 10 || kill -9 "$pid" 2>/dev/null; done
    [ -n "${QB_TMP:-}" ] && rm -rf "$QB_TMP"
    [ "$QB_OWN_ENV" = 1 ] && qb_wine_cleanup
}

# qb_e2e_init EXE: without a display or prefix, scripts/wine-env.sh is sourced.
qb_e2e_init() {
    QB_EXE=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
    [ -f "$QB_EXE" ] || qb_fail "no program at $1"
    if [ -z "${DISPLAY:-}" ] || [ -z "${WINEPREFIX:-}" ]; then
        # shellcheck source=/dev/null
        QB_ROOT="$QB_ROOT_DIR" . "$QB_ROOT_DIR/scripts/wine-env.sh"
        QB_OWN_ENV=1
    fi
    export WINEDEBUG=-all
    QB_TMP=$(mktemp -d "${TMPDIR:-/tmp}/qb-e2e.XXXXXX") || qb_fail "mktemp"
    trap qb_cleanup EXIT
    trap 'exit 130' INT TERM
    QB_BUILD_DIR=$(cd "$(dirname "$QB_EXE")/.." && pwd)
    QB_POKE=$QB_BUILD_DIR/tests/poke.exe
    [ -f "$QB_POKE" ] || qb_fail "no poke at $QB_POKE"
}

# qb_set_dpi DPI: the display scale of the prefix. Wine reads it when its server
# starts: the server, its services and the desktop's holder start again as for
# the whole run. A script that changes it sets 96 back when it ends.
qb_set_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    # shellcheck source=/dev/null
    QB_KEEP_DISPLAY=1 . "$QB_ROOT_DIR/scripts/wine-env.sh"
    qb_hold_desktop "$QB_POKE"
}
# qb_scaled PIXELS DPI: a size at 96 DPI at another, rounded as the program rounds it.
qb_scaled() { echo $((($1 * $2 + 48) / 96)); }

# A poke that fails with words (its own, or Wine's when it could not run)
# says them in the script's log: a failure then tells what the step met.
poke() {
    local err=$QB_TMP/poke.err rc
    wine "$QB_POKE" "$@" 2>"$err" | tr -d '\r'
    rc=${PIPESTATUS[0]}
    [ "$rc" != 0 ] && [ -s "$err" ] && qb_log "poke $1 exited $rc: $(tr -d '\r' <"$err" | tail -n 3 | tr '\n' ' ')"
    return "$rc"
}

qb_finish() { [ "$QB_FAILED" = 0 ] && qb_log "PASS" && exit 0; exit 1; }

# qb_workdir [INI_TEXT]: a new folder, with a quillbank.ini of INI_TEXT in CR LF lines.
qb_workdir() {
    local d
    d=$(mktemp -d "$QB_TMP/work.XXXXXX") || qb_fail "mktemp"
    [ $# -gt 0 ] && qb_put_ini "$d" "$1"
    echo "$d"
}
qb_put_ini() { printf '%s\n' "$2" | sed 's/$/\r/' >"$1/quillbank.ini"; }

# qb_start DIR: sets QB_PID. QB_WINEDEBUG=CHANNELS QB_WINE_LOG=FILE: the
# program's Wine debug output (+event: the display's events, +msg: its messages).
qb_start() {
    (cd "$1" && WINEDEBUG=${QB_WINEDEBUG:-$WINEDEBUG} exec setsid wine "$QB_EXE") </dev/null >/dev/null \
        2>>"${QB_WINE_LOG:-/dev/null}" &
    QB_PID=$!
    QB_PIDS+=("$QB_PID")
}

# qb_clock: QB_NOW, hundredths of a second since boot. Waits go by it, not by
# $SECONDS: that follows the wall clock, which this machine's time keeping
# steps by seconds at a time (one step of 8.4 s was seen during a run).
qb_clock() {
    read -r QB_NOW _ </proc/uptime
    QB_NOW=$((10#${QB_NOW/./}))
}

# qb_wait_for SECONDS COMMAND...
qb_wait_for() {
    local end
    qb_clock
    end=$((QB_NOW + $1 * 100))
    shift
    while ! "$@"; do
        qb_clock
        [ "$QB_NOW" -ge "$end" ] && return 1
        sleep 0.1
    done
}

# xdotool ignores case in titles ("quillbank" is a box's): matched again here.
qb_find_window() {
    local id
    for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
        [[ "$(xdotool getwindowname "$id" 2>/dev/null)" =~ $1 ]] && QB_FOUND=$id && return 0
    done
    return 1
}

# qb_wait_window [NAME_REGEX]: the window's id, once drawn.
qb_wait_window() {
    if ! qb_wait_for "$QB_TIMEOUT" qb_find_window "${1:-^Quillbank\$}"; then
        qb_log "no window named ${1:-Quillbank}; shown: $(qb_shown_windows)"
        return 1
    fi
    qb_wait_drawn "$QB_FOUND" || qb_log "window $QB_FOUND was still changing after ${QB_TIMEOUT}s"
    echo "$QB_FOUND"
}
# The names of the visible windows and whether the last program started still runs.
qb_shown_windows() {
    local id
    for id in $(xdotool search --onlyvisible --name . 2>/dev/null); do
        printf '"%s" ' "$(xdotool getwindowname "$id" 2>/dev/null)"
    done
    kill -0 "${QB_PID:-0}" 2>/dev/null && echo "(program running)" || echo "(program ended)"
}

# qb_wait_drawn WIN: until two pictures in a row are the same.
qb_wait_drawn() {
    local end last="" now
    qb_clock
    end=$((QB_NOW + QB_TIMEOUT * 100))
    while qb_clock && [ "$QB_NOW" -lt "$end" ]; do
        now=$(import -window "$1" rgb:- 2>/dev/null | md5sum)
        [ "$now" = "$last" ] && return 0
        last=$now
        sleep 0.2
    done
    return 1
}

# After a modal box Wine moves the focus back in steps: wait for the X focus too.
qb_wait_ready() {
    qb_wait_idle "${2:-Quillbank}" || { qb_log "not idle: $(qb_input_state "${2:-Quillbank}")"; return 1; }
    qb_wait_for "$QB_TIMEOUT" qb_has_x_focus "$1" || { qb_log "no X focus on $1: $(qb_input_state "${2:-Quillbank}")"; return 1; }
}
qb_has_x_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
qb_wait_idle() { poke ready "${1:-Quillbank}" "$QB_TIMEOUT" >/dev/null; }

# qb_geometry WIN: sets X, Y, WIDTH and HEIGHT.
qb_geometry() {
    unset X Y WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
}

qb_shot() { import -window "$1" "$2"; }
qb_pixel() { convert "$1" -format "%[hex:p{$2,$3}]" info: 2>/dev/null | cut -c1-6 | tr 'A-F' 'a-f'; }

# qb_click_in WIN DX DY [BUTTON]: relative to the outer top left, once the
# display has WIN under the pointer there (no other window over that point).
qb_click_in() {
    qb_geometry "$1"
    xdotool mousemove $((X + $2)) $((Y + $3))
    qb_wait_for "$QB_TIMEOUT" qb_pointer_over "$1" || qb_fail "window $1 is not under the pointer ($(qb_input_state))"
    xdotool click "${4:-1}"
}
qb_pointer_window() { xdotool getmouselocation --shell 2>/dev/null | sed -n 's/^WINDOW=//p'; }
qb_pointer_over() { [ "$(qb_pointer_window)" = "$1" ]; }
# What a lost click met: the display's focus and the window under the
# pointer, and Wine's view of the main window's thread.
qb_input_state() {
    echo "X focus $(xdotool getwindowfocus 2>/dev/null), pointer over $(qb_pointer_window);" \
        "$(poke input "${1:-Quillbank}")"
}

# The close box's centre from the outer top right (3 px frame, 15 px caption).
qb_close() { qb_geometry "$1" && qb_click_in "$1" $((WIDTH - 12)) 10; }
qb_close_ends() {
    qb_wait_ready "$1" || qb_fail "the main window did not become ready for a click"
    qb_close "$1"
    qb_wait_exit || qb_fail "the close box did not end the program"
}

# qb_dialog TITLE [ID=TEXT|ID=+]... BUTTON: fills in (+ checks), presses, waits till gone.
qb_dialog() {
    local title=$1 field
    shift
    poke wait "$title" 10 || { qb_log "no \"$title\" to fill in"; return 1; }
    for field in "${@:1:$#-1}"; do
        if [ "${field#*=}" = + ]; then
            poke check "$title" "${field%%=*}" 1 >/dev/null
        else
            poke settext "$title" "${field%%=*}" "${field#*=}" >/dev/null
        fi
    done
    poke click "$title" "${!#}" >/dev/null || { qb_log "\"$title\": button ${!#} could not be pressed"; return 1; }
    poke gone "$title" 10 || { qb_log "\"$title\" still open after button ${!#}: $(qb_input_state "$title")"; return 1; }
}

# qb_recorder DIR: a copy of the program recording its parameters; its Windows path.
qb_recorder() {
    cp "$QB_BUILD_DIR/tests/recorder.exe" "$1" || qb_fail "no recorder in $QB_BUILD_DIR/tests"
    winepath -w "$1/recorder.exe" 2>/dev/null
}
qb_recorded() { tr -d '\r' 2>/dev/null <"$1/recorded.txt"; }
qb_recorded_at_least() { [ "$(qb_recorded "$1" | wc -l)" -ge "$2" ]; }

# Wine's popup menus: override-redirect windows with no name, no class xdotool knows.
qb_menu_windows() {
    local id
    for id in $(xdotool search --onlyvisible --name '^$' 2>/dev/null); do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' && echo "$id"
    done
}
qb_menu_open() { [ -n "$(qb_menu_windows)" ]; }

qb_pid_gone() { ! kill -0 "$1" 2>/dev/null; }
# qb_wait_exit [PID] [TIMEOUT]
qb_wait_exit() { qb_wait_for "${2:-$QB_TIMEOUT}" qb_pid_gone "${1:-$QB_PID}"; }

qb_ini() { tr -d '\r' <"$1/quillbank.ini" 2>/dev/null; }
qb_ini_line() { qb_ini "$1" | sed -n "$2p"; }
qb_ini_has() { qb_ini "$1" | grep -qxF -- "$2"; }

qb_expect() { [ "$2" = "$3" ] || qb_check_fail "$1: got '$2', expected '$3'"; }

# qb_fit_is HOSTS [DPI]: the main window is sized to its list as every rebuild leaves
# it: outer height n * h + 25 (at DPI) for the list's row height h, n the rows that
# fit the screen (the one-row size once the last host is gone, h then as last seen);
# no horizontal scroll bar, a vertical one only while rows are hidden. FIT: what showed.
qb_fit_is() {
    local extra w h hs vs screen_h shown
    extra=$(qb_scaled 25 "${2:-96}")
    read -r w h hs vs < <(poke outer Quillbank 1007) || return 1
    if [ "$1" -gt 0 ]; then read -r QB_ROW_H _ < <(poke rows Quillbank 1007) || return 1; fi
    read -r _ screen_h < <(xdotool getdisplaygeometry)
    shown=$(((screen_h - extra) / QB_ROW_H))
    ((shown > $1)) && shown=$(($1 > 1 ? $1 : 1))
    FIT="${w}x$h, rows of $QB_ROW_H, scroll bars: horizontal $hs, vertical $vs"
    [ "$h $hs $vs" = "$((shown * QB_ROW_H + extra)) 0 $((shown < $1))" ]
}
qb_wait_fit() { qb_wait_for 10 qb_fit_is "$@" || qb_check_fail "the window for $1 hosts: $FIT"; }

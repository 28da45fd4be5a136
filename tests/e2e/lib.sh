# Helpers of the end-to-end scripts: start quillbank.exe under Wine in the
# virtual display, wait for its windows, click them, read what it saved.
#   . "$(dirname "$0")/lib.sh"; qb_e2e_init "$1"
#   dir=$(qb_workdir "$ini_text"); qb_start "$dir"; win=$(qb_wait_window) || qb_fail "no window"
# Everything started or made is removed at exit; without a display or prefix
# in the environment, scripts/wine-env.sh is sourced and torn down again.

QB_E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
QB_ROOT_DIR=$(cd "$QB_E2E_DIR/../.." && pwd)
QB_TIMEOUT=${QB_TIMEOUT:-30}
# The centre of the close box of Wine's small caption, from the outer top
# right corner (3 px frame, 15 px caption, an 11 x 11 box).
QB_CLOSE_DX=12
QB_CLOSE_DY=10
QB_PIDS=()
QB_OWN_ENV=0
QB_FAILED=0

qb_log() { echo "[$(date +%H:%M:%S)] $*" >&2; }
# Marks the test failed and carries on; qb_finish turns it into the exit code.
qb_check_fail() { qb_log "FAIL: $*"; QB_FAILED=1; }
qb_fail() { qb_log "FAIL: $*"; exit 1; }

qb_cleanup() {
    local pid
    for pid in "${QB_PIDS[@]}"; do
        kill "$pid" 2>/dev/null
    done
    for pid in "${QB_PIDS[@]}"; do
        qb_wait_exit "$pid" 10 || kill -9 "$pid" 2>/dev/null
    done
    # qb_workdir runs in a subshell: its folders are found under this one.
    [ -n "${QB_TMP:-}" ] && rm -rf "$QB_TMP"
    if [ "$QB_OWN_ENV" = 1 ]; then
        qb_wine_cleanup
    fi
}

# qb_e2e_init EXE: remembers the program and its helpers, makes sure Wine has a display.
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

# Works the program's windows with messages (poke.cpp); poke's exit status.
poke() {
    local out rc
    out=$(wine "$QB_POKE" "$@" 2>/dev/null)
    rc=$?
    printf '%s' "$out" | tr -d '\r'
    [ -n "$out" ] && echo
    return $rc
}

qb_finish() {
    [ "$QB_FAILED" = 0 ] || exit 1
    qb_log "PASS"
    exit 0
}

# qb_workdir [INI_TEXT]: a new folder; with INI_TEXT, a quillbank.ini holding
# it in CR LF lines as the program writes them.
qb_workdir() {
    local d
    d=$(mktemp -d "$QB_TMP/work.XXXXXX") || qb_fail "mktemp"
    [ $# -gt 0 ] && printf '%s\n' "$1" | sed 's/$/\r/' >"$d/quillbank.ini"
    echo "$d"
}

# qb_start DIR: starts the program in DIR, output detached; sets QB_PID.
qb_start() {
    (cd "$1" && exec setsid wine "$QB_EXE") </dev/null >/dev/null 2>&1 &
    QB_PID=$!
    QB_PIDS+=("$QB_PID")
}

# qb_wait_for SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds.
qb_wait_for() {
    local end=$((SECONDS + $1))
    shift
    while ! "$@"; do
        [ "$SECONDS" -ge "$end" ] && return 1
        sleep 0.1
    done
}

# xdotool ignores case in titles (a box captioned "quillbank" would pass for
# the main window): the title is matched again here.
qb_find_window() {
    local id
    for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
        if [[ "$(xdotool getwindowname "$id" 2>/dev/null)" =~ $1 ]]; then
            QB_FOUND=$id
            return 0
        fi
    done
    return 1
}

# qb_wait_window [NAME_REGEX]: the id of the first visible window whose title
# matches, once drawn; the main window by default.
qb_wait_window() {
    qb_wait_for "$QB_TIMEOUT" qb_find_window "${1:-^Quillbank\$}" || return 1
    qb_wait_drawn "$QB_FOUND"
    echo "$QB_FOUND"
}

# qb_wait_drawn WIN: until two pictures of the window in a row are the same.
qb_wait_drawn() {
    local end=$((SECONDS + QB_TIMEOUT)) last="" now
    while [ "$SECONDS" -lt "$end" ]; do
        now=$(import -window "$1" rgb:- 2>/dev/null | md5sum)
        [ "$now" = "$last" ] && return 0
        last=$now
        sleep 0.2
    done
    return 1
}

# qb_wait_ready WIN [TITLE]: until a click on the window is taken as a user's
# (poke ready) and the X focus is on it. Right after a modal box closes, Wine
# moves the focus back in steps and a click in between may be swallowed.
qb_wait_ready() {
    qb_wait_idle "${2:-Quillbank}" && qb_wait_for "$QB_TIMEOUT" qb_has_x_focus "$1"
}
qb_has_x_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# qb_wait_idle [TITLE]: the window is back at rest after a command, so
# whatever the command was going to do has been done.
qb_wait_idle() { poke ready "${1:-Quillbank}" "$QB_TIMEOUT" >/dev/null; }

# qb_geometry WIN: sets X, Y, WIDTH and HEIGHT of the outer window.
qb_geometry() {
    unset X Y WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
}

qb_shot() { import -window "$1" "$2"; }

# qb_pixel FILE X Y: the pixel's colour as rrggbb.
qb_pixel() {
    convert "$1" -format "%[hex:p{$2,$3}]" info: 2>/dev/null | cut -c1-6 | tr 'A-F' 'a-f'
}

# qb_click_in WIN DX DY [BUTTON]: a click relative to the window's outer top left.
qb_click_in() {
    qb_geometry "$1"
    xdotool mousemove $((X + $2)) $((Y + $3)) click "${4:-1}"
}

# qb_close WIN: the close request, by a click on the caption's close box.
qb_close() {
    qb_geometry "$1"
    qb_click_in "$1" $((WIDTH - QB_CLOSE_DX)) $QB_CLOSE_DY
}

qb_pid_gone() { ! kill -0 "$1" 2>/dev/null; }
# qb_wait_exit [PID] [TIMEOUT]: waits for the program to end.
qb_wait_exit() { qb_wait_for "${2:-$QB_TIMEOUT}" qb_pid_gone "${1:-$QB_PID}"; }

# qb_ini_line DIR N: line N of DIR/quillbank.ini without its CR LF.
qb_ini_line() { sed -n "$2p" "$1/quillbank.ini" | tr -d '\r'; }
# qb_ini_has DIR LINE: the file holds the line, whole.
qb_ini_has() { tr -d '\r' <"$1/quillbank.ini" 2>/dev/null | grep -qxF -- "$2"; }

# qb_expect WHAT ACTUAL EXPECTED: records a failure when they differ.
qb_expect() {
    if [ "$2" != "$3" ]; then
        qb_check_fail "$1: got '$2', expected '$3'"
    else
        qb_log "ok: $1"
    fi
}

# Shared helpers for the end-to-end scripts: start quillbank.exe under Wine in
# the virtual display, find its window, look at it, click it, close it, and
# read what it saved. Source it from a test script:
#
#   . "$(dirname "$0")/lib.sh"
#   qb_e2e_init "$1"                # path of quillbank.exe (CTest passes it)
#   dir=$(qb_workdir "$ini_text")   # a fresh folder holding that quillbank.ini
#   qb_start "$dir"; win=$(qb_wait_window) || qb_fail "no window"
#   ...
#   qb_close "$win"; qb_wait_exit || qb_fail "still running"
#
# Everything a script starts or creates is removed when it exits (trap).
# Without a display or prefix in the environment (a script run by hand), the
# project's scripts/wine-env.sh is sourced and torn down again at exit.
#
# Coordinates: xdotool's window geometry is the window's OUTER rectangle, the
# caption that Wine draws included (there is no window manager). The close
# box of Wine's small (tool window) caption sits at the caption's right end:
# its centre is QB_CLOSE_DX pixels left of the outer right edge and
# QB_CLOSE_DY pixels below the outer top edge (measured on the main window:
# 3 px frame, 15 px small caption, an 11 x 11 box from 17 to 7 px left of
# the right edge and 5 to 15 px below the top).

QB_E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
QB_ROOT_DIR=$(cd "$QB_E2E_DIR/../.." && pwd)
QB_TIMEOUT=${QB_TIMEOUT:-30}
QB_CLOSE_DX=${QB_CLOSE_DX:-12}
QB_CLOSE_DY=${QB_CLOSE_DY:-10}
QB_PIDS=()
QB_OWN_ENV=0
QB_FAILED=0

qb_log() { echo "[$(date +%H:%M:%S)] $*" >&2; }

# Marks the test failed and carries on; qb_finish turns it into the exit code.
qb_check_fail() { qb_log "FAIL: $*"; QB_FAILED=1; }
# Fails the test now.
qb_fail() { qb_log "FAIL: $*"; exit 1; }

qb_cleanup() {
    local pid
    for pid in "${QB_PIDS[@]}"; do
        kill "$pid" 2>/dev/null
    done
    for pid in "${QB_PIDS[@]}"; do
        qb_wait_pid_gone "$pid" 10 || kill -9 "$pid" 2>/dev/null
    done
    # Every work folder lives under this one: qb_workdir runs in a $(...)
    # subshell, so it cannot record its folders in a variable of ours.
    [ -n "${QB_TMP:-}" ] && rm -rf "$QB_TMP"
    if [ "$QB_OWN_ENV" = 1 ]; then
        qb_wine_cleanup
    fi
}

# qb_e2e_init EXE: remembers the program, makes sure Wine has a display.
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
}

# Works the program's windows with messages (tests/e2e/poke.cpp). The exit
# status is poke's own, so that "poke wait ... || qb_fail" can fail.
poke() {
    local out rc
    out=$(wine "$QB_POKE" "$@" 2>/dev/null)
    rc=$?
    printf '%s' "$out" | tr -d '\r'
    [ -n "$out" ] && echo
    return $rc
}

# Exit code for the end of a script: 1 when any qb_check_fail happened.
qb_finish() {
    if [ "$QB_FAILED" = 0 ]; then
        qb_log "PASS"
        exit 0
    fi
    exit 1
}

# qb_workdir [INI_TEXT]: a new empty folder, removed at exit; with INI_TEXT,
# a quillbank.ini holding it, each line ending in CR LF as the program writes.
qb_workdir() {
    local d
    d=$(mktemp -d "$QB_TMP/work.XXXXXX") || qb_fail "mktemp"
    if [ $# -gt 0 ]; then
        printf '%s\n' "$1" | sed 's/$/\r/' >"$d/quillbank.ini"
    fi
    echo "$d"
}

# qb_start DIR [EXE]: starts the program with DIR as its working folder;
# sets QB_PID. The program's output is detached so that callers never wait.
qb_start() {
    local dir=$1 exe=${2:-$QB_EXE}
    (cd "$dir" && exec setsid wine "$exe") </dev/null >/dev/null 2>&1 &
    QB_PID=$!
    QB_PIDS+=("$QB_PID")
}

# qb_wait_for SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds.
qb_wait_for() {
    local limit=$1
    shift
    local end=$((SECONDS + limit))
    while ! "$@"; do
        [ "$SECONDS" -ge "$end" ] && return 1
        sleep 0.1
    done
}

# xdotool matches titles without regard to case (a message box captioned
# "quillbank" would pass for the main window), so the title is matched again
# here, case and all.
qb_find_window() {
    local id
    QB_FOUND=""
    for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
        if [[ "$(xdotool getwindowname "$id" 2>/dev/null)" =~ $1 ]]; then
            QB_FOUND=$id
            return 0
        fi
    done
    return 1
}

# qb_wait_window [NAME_REGEX] [TIMEOUT]: prints the id of the first visible
# window whose title matches (an extended regular expression, case counts),
# once it has been drawn. Default: the main window, "^Quillbank$".
qb_wait_window() {
    local name=${1:-^Quillbank\$} limit=${2:-$QB_TIMEOUT}
    qb_wait_for "$limit" qb_find_window "$name" || return 1
    qb_wait_drawn "$QB_FOUND"
    echo "$QB_FOUND"
}

qb_window_sum() { import -window "$1" rgb:- 2>/dev/null | md5sum | cut -d' ' -f1; }

# qb_wait_drawn WIN: waits until two pictures of the window in a row are the
# same, so that a picture shows the window as painted.
qb_wait_drawn() {
    local win=$1 end=$((SECONDS + QB_TIMEOUT)) last="" now
    while [ "$SECONDS" -lt "$end" ]; do
        now=$(qb_window_sum "$win")
        [ -n "$now" ] && [ "$now" = "$last" ] && return 0
        last=$now
        sleep 0.2
    done
    return 1
}

# qb_wait_ready WIN [TITLE] [TIMEOUT]: waits until a click on the window is
# taken as a user's: the window enabled, foreground and active, no menu or
# capture left, its thread back at its message loop (poke ready), and the X
# input focus on it. Right after a modal box closes, Wine re-activates the
# owner and moves the X focus back in steps; a click that lands in between
# may be swallowed, so a script waits for this before clicking.
qb_wait_ready() {
    local win=$1 title=${2:-Quillbank} limit=${3:-$QB_TIMEOUT}
    poke ready "$title" "$limit" >/dev/null || return 1
    qb_wait_for "$limit" qb_has_x_focus "$win"
}
qb_has_x_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# qb_wait_idle [TITLE] [TIMEOUT]: waits until the window is back at rest after
# a command (see qb_wait_ready): whatever the command was going to do has been
# done, so a script can then show that something did NOT happen.
qb_wait_idle() { poke ready "${1:-Quillbank}" "${2:-$QB_TIMEOUT}" >/dev/null; }

# qb_geometry WIN: sets X, Y, WIDTH and HEIGHT of the outer window.
qb_geometry() {
    unset X Y WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
}

# qb_shot WIN FILE: a picture of the window (PNG).
qb_shot() { import -window "$1" "$2"; }

# qb_pixel FILE X Y: the pixel's colour as rrggbb (lower-case hex).
qb_pixel() {
    convert "$1" -format "%[hex:p{$2,$3}]" info: 2>/dev/null | cut -c1-6 | tr 'A-F' 'a-f'
}

# qb_click X Y [BUTTON] [shift]: a click at screen coordinates.
qb_click() {
    local x=$1 y=$2 button=${3:-1} mod=${4:-}
    xdotool mousemove "$x" "$y"
    if [ "$mod" = shift ]; then
        xdotool keydown shift click "$button" keyup shift
    else
        xdotool click "$button"
    fi
}

# qb_click_in WIN DX DY [BUTTON] [shift]: a click relative to the window's
# outer top-left corner.
qb_click_in() {
    local win=$1 dx=$2 dy=$3
    shift 3
    qb_geometry "$win"
    qb_click $((X + dx)) $((Y + dy)) "$@"
}

# qb_close WIN: the close request, by a click on the close box of the caption.
qb_close() {
    qb_geometry "$1"
    qb_click $((X + WIDTH - QB_CLOSE_DX)) $((Y + QB_CLOSE_DY))
}

qb_wait_pid_gone() {
    local pid=$1 limit=${2:-$QB_TIMEOUT}
    qb_wait_for "$limit" qb_pid_gone "$pid"
}
qb_pid_gone() { ! kill -0 "$1" 2>/dev/null; }

# qb_wait_exit [PID] [TIMEOUT]: waits for the program to end.
qb_wait_exit() { qb_wait_pid_gone "${1:-$QB_PID}" "${2:-$QB_TIMEOUT}"; }

# qb_ini_line DIR N: line N of DIR/quillbank.ini without its CR LF.
qb_ini_line() { sed -n "$2p" "$1/quillbank.ini" | tr -d '\r'; }

# qb_expect WHAT ACTUAL EXPECTED: records a failure when they differ.
qb_expect() {
    if [ "$2" != "$3" ]; then
        qb_check_fail "$1: got '$2', expected '$3'"
    else
        qb_log "ok: $1"
    fi
}

# Sourced by the Makefile's recipes: a virtual display, a Wine prefix of the
# project's own, and a persistent wineserver, so that each test does not pay
# for starting them again.
QB_ROOT=${QB_ROOT:-$(pwd)}
export WINEPREFIX="${WINEPREFIX:-$QB_ROOT/build/wineprefix}"
export WINEDEBUG=-all
# Every wine and winepath started from here goes through the wrappers in
# scripts/wine-loader (see why there).
QB_WINE_LOADER=$(cd "$QB_ROOT/scripts/wine-loader" && pwd)
case ":$PATH:" in
*":$QB_WINE_LOADER:"*) ;;
*) export PATH="$QB_WINE_LOADER:$PATH" ;;
esac
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "${QB_KEEP_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
    # The server picks a free display and names it once it accepts
    # connections: runs that start together never share one.
    QB_DISPLAY_FILE=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${QB_SCREEN:-1280x1024x24}" -nolisten tcp 3>"$QB_DISPLAY_FILE" >/dev/null 2>&1 &
    QB_XVFB_PID=$!
    while ! grep -q '^[0-9]' "$QB_DISPLAY_FILE" && kill -0 "$QB_XVFB_PID" 2>/dev/null; do sleep 0.05; done
    QB_DISPLAY_NUMBER=$(head -n 1 "$QB_DISPLAY_FILE")
    rm -f "$QB_DISPLAY_FILE"
    if [ -z "$QB_DISPLAY_NUMBER" ]; then
        echo "wine-env.sh: the virtual display did not start" >&2
        return 1 2>/dev/null || exit 1
    fi
    export DISPLAY=:$QB_DISPLAY_NUMBER
fi
mkdir -p "$WINEPREFIX"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wine wineboot -i >/dev/null 2>&1
    # The server that made the prefix is not persistent and ends by itself
    # seconds later, dropping whichever test is connected then: waited for,
    # so that tests meet the prefix at rest as on every later run.
    wineserver -w >/dev/null 2>&1
fi
wineserver -p >/dev/null 2>&1
# Without a window manager Wine waits about two seconds for every managed
# window that closes; unmanaged windows close at once.
if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
fi
# Start the prefix's background services now: started later by a test, they
# would keep that test's output pipe open after it ends.
wine wineboot </dev/null >/dev/null 2>&1
# qb_hold_desktop POKE_EXE: Wine ends its desktop process a moment after the
# last program goes, and a program starting just then loses its desktop; a
# holder keeps it up until the server ends.
qb_hold_desktop() {
    [ -f "$1" ] && { setsid wine "$1" hold </dev/null >/dev/null 2>&1 & }
    true
}
qb_wine_cleanup() {
    # Waited for: a server still ending would turn the next one away.
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    [ -n "${QB_XVFB_PID:-}" ] && kill "$QB_XVFB_PID" 2>/dev/null
    true
}

#!/bin/bash
# Starts Quillbank under Wine in build/run, a folder of its own that holds a
# copy of the sample catalogue (kept once there, so the user's edits
# survive). With a display the program runs there until it is closed;
# without one it runs in a virtual display just long enough for a picture
# of its window.
# Usage: scripts/run.sh WIN64_DIR NATIVE_DIR   (as `make run` calls it)
set -u
cd "$(dirname "$0")/.." || exit 1
WIN64_DIR=${1:-build/win64}
NATIVE_DIR=${2:-build/native}
EXE=$WIN64_DIR/src/quillbank.exe
RUN_DIR=build/run

if [ ! -f "$EXE" ]; then
    echo "$EXE is not built yet; this is the sample catalogue it would show:"
    exec "$NATIVE_DIR/src/cli/quillbank-cli" dump samples/quillbank.ini
fi

mkdir -p "$RUN_DIR"
[ -f "$RUN_DIR/quillbank.ini" ] || cp samples/quillbank.ini "$RUN_DIR/quillbank.ini"
EXE=$(cd "$(dirname "$EXE")" && pwd)/quillbank.exe

if [ -n "${DISPLAY:-}" ]; then
    # The user's own display: only the Wine prefix comes from wine-env.sh.
    QB_KEEP_DISPLAY=1 source scripts/wine-env.sh
    (cd "$RUN_DIR" && wine "$EXE")
    rc=$?
    qb_wine_cleanup
    exit $rc
fi

source scripts/wine-env.sh
trap qb_wine_cleanup EXIT
(cd "$RUN_DIR" && exec setsid wine "$EXE") </dev/null >/dev/null 2>&1 &

window=""
for _ in $(seq 1 60); do
    window=$(xdotool search --onlyvisible --name '^Quillbank$' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.5
done
if [ -z "$window" ]; then
    echo "error: the Quillbank window did not appear within 30 seconds" >&2
    exit 1
fi
sleep 1  # let the list paint its rows
shot=$RUN_DIR/quillbank.png
if ! import -window "$window" "$shot"; then
    echo "error: could not take a picture of the window" >&2
    exit 1
fi
echo "Quillbank ran in a virtual display (no DISPLAY set); its window: $(pwd)/$shot"

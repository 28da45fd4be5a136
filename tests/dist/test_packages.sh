#!/bin/bash
# The release as Windows administrators get it, under Wine in a fresh prefix of
# its own: the zip unpacked and run where it lies; the per-user MSI installed
# silently, started from its shortcut, upgraded by a newer release, an older
# one refused, and removed; the per-machine MSI installed and removed. Saves
# and catalogues are checked at each step.
# Usage: test_packages.sh path/to/quillbank.exe (of a Release build)
set -u -o pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../e2e/lib.sh"
build=$(cd "$(dirname "$1")/.." && pwd)
cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
if [ "$(cache CMAKE_BUILD_TYPE)" != Release ]; then
    echo "skipped: packages are made from Release builds"
    exit 77
fi
version=$(cache CMAKE_PROJECT_VERSION)
IFS=. read -r major minor patch <<<"$version"
newer=$major.$minor.$((patch + 1))

work=$(mktemp -d)
export WINEPREFIX=$work/prefix
# shellcheck source=/dev/null
QB_KEEP_DISPLAY=1 QB_ROOT="$QB_ROOT_DIR" . "$QB_ROOT_DIR/scripts/wine-env.sh"
# No menu builder: it would put the installs' shortcuts in the desktop's menus, outside the prefix.
WINEDLLOVERRIDES+=";winemenubuilder.exe=d"
qb_e2e_init "$1"
QB_OWN_ENV=1
trap 'qb_cleanup; rm -rf "$work"' EXIT
qb_hold_desktop "$QB_POKE"

dist() { python3 "$QB_ROOT_DIR/packaging/dist.py" "$@"; }
# COMMAND... with what Wine says on its error output, and its status, kept for a failure's report.
said() {
    WINEDEBUG=fixme-all "$@" 2>>"$work/wine.log"
    set -- $? "$*" && echo "[$(date +%T)] status $1 of ${2:0:160}" >>"$work/wine.log" && return "$1"
}
# The exit status of a silent msiexec as Windows reports it (a shell sees only its low byte).
msiexec_status() {
    said timeout 300 wine cmd /v:on /c "start /wait msiexec $1 $(winepath -w "$2") /qn & echo status !errorlevel!" |
        tee -a "$work/wine.log" | tr -d '\r' | sed -n 's/^status //p'
}
# A folder of the prefix's user, as Wine expands it, on this side.
user_folder() { winepath -u "$(wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r')" 2>/dev/null; }
version_of() {
    python3 -c 'import sys; sys.path.insert(0, sys.argv[1]); import dist; print("%d.%d.%d.%d" % dist.file_version(sys.argv[2]))' \
        "$QB_ROOT_DIR/packaging" "$1"
}
# The "Quillbank" entries of Apps, machine's and user's.
products() {
    local root
    for root in HKLM HKCU; do
        said wine reg query "$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s
    done | grep -c 'DisplayName *REG_SZ *Quillbank'
}
listed_hosts() { poke list Quillbank 1007 | cut -d' ' -f3; }
saved() { qb_ini_has "$1" "<ITEM>Alpha<HOST>a01<ICON>0<COL>-1"; }
# The program's window in the folder it was started in: empty, then a host added
# through the editor is saved there, then closed.
empty_then_saves() {
    qb_wait_window >/dev/null || qb_fail "$2: no main window"
    qb_expect "$2: hosts listed at start" "$(listed_hosts)" 0
    poke rclick Quillbank 70 100 >/dev/null
    qb_dialog "Edit Item" 1002=Alpha 1039=a01 1 || qb_fail "$2: no host editor"
    qb_wait_for 10 saved "$1" || qb_check_fail "$2: the new host was not saved in $1"
    poke post Quillbank 0x0010 >/dev/null
    poke gone Quillbank 10 || qb_fail "$2: the program did not close"
}

# --- make dist for this build, unsigned.
out=$work/out
dist release "$out" "$build" >"$work/dist.log" || qb_fail "dist.py: $(cat "$work/dist.log")"
qb_expect "release files" "$(ls "$out" | tr '\n' ' ')" \
    "SHA256SUMS quillbank-$version-x64-machine.msi quillbank-$version-x64.msi quillbank-$version-x64.zip "
appdata=$(user_folder APPDATA)
localappdata=$(user_folder LOCALAPPDATA)
[ -d "$appdata" ] && [ -d "$localappdata" ] || qb_fail "no profile folders in the prefix"

# --- The zip: unpacked, run from its folder; nothing written outside it.
portable=$WINEPREFIX/drive_c/Tools/Quillbank
mkdir -p "$portable"
unzip -q "$out/quillbank-$version-x64.zip" -d "$portable" || qb_fail "unzip failed"
qb_expect "console companion's version" "$(wine "$portable/quillbank-cli.exe" --version 2>/dev/null | tr -d '\r')" \
    "quillbank-cli $version"
touch "$work/before-run"
QB_EXE=$portable/quillbank.exe qb_start "$portable"
empty_then_saves "$portable" "zip"
qb_wait_exit || qb_fail "the unpacked program did not end"
outside=$(find "$WINEPREFIX/drive_c" -newer "$work/before-run" -type f ! -path "$portable/*")
qb_expect "files written outside the program's folder" "$outside" ""

# --- Per user: installed silently where it belongs, started from its shortcut.
qb_expect "per-user install" "$(msiexec_status /i "$out/quillbank-$version-x64.msi")" 0
program=$localappdata/Programs/Quillbank
catalogue=$appdata/Quillbank
shortcut="$appdata/Microsoft/Windows/Start Menu/Programs/Quillbank.lnk"
qb_expect "installed files" "$(ls "$program" | tr '\n' ' ')" \
    "README.txt THIRD-PARTY-NOTICES.txt quillbank-cli.exe quillbank.exe sample-quillbank.ini "
[ -f "$shortcut" ] || qb_fail "no Start menu shortcut"
[ -d "$catalogue" ] || qb_fail "no working folder at $catalogue"
(exec setsid wine start "$(winepath -w "$shortcut")") </dev/null >/dev/null 2>&1 &
empty_then_saves "$catalogue" "per-user shortcut"
sum=$(md5sum <"$catalogue/quillbank.ini")

# --- A newer release replaces the program, keeps the catalogue, stays one product.
dist payload "$build" "$work/newer" || qb_fail "dist.py payload failed"
python3 - "$work/newer/quillbank.exe" "$newer" <<'PY'
import struct, sys
path, version = sys.argv[1], [int(field) for field in sys.argv[2].split(".")]
data = bytearray(open(path, "rb").read())
at = data.find(struct.pack("<I", 0xFEEF04BD))
high, low = version[0] << 16 | version[1], version[2] << 16
struct.pack_into("<IIII", data, at + 8, high, low, high, low)  # file and product versions
open(path, "wb").write(data)
PY
dist msi "$work/newer" "$work/newer.msi" --arch x64 --scope user --version "$newer" || qb_fail "no newer MSI"
dist msi "$work/newer" "$work/older.msi" --arch x64 --scope user --version 0.0.1 || qb_fail "no older MSI"
qb_expect "upgrade" "$(msiexec_status /i "$work/newer.msi")" 0
qb_expect "upgraded program's version" "$(version_of "$program/quillbank.exe")" "$newer.0"
qb_expect "catalogue after the upgrade" "$(md5sum <"$catalogue/quillbank.ini")" "$sum"
qb_expect "products after the upgrade" "$(products)" 1
qb_expect "an older release over a newer" "$(msiexec_status /i "$work/older.msi")" 1603
qb_expect "program after the refused downgrade" "$(version_of "$program/quillbank.exe")" "$newer.0"
qb_expect "products after the refused downgrade" "$(products)" 1

# --- Removed: program and shortcut go, the catalogue and its companions stay.
ls "$catalogue" >"$work/kept"
qb_expect "per-user uninstall" "$(msiexec_status /x "$work/newer.msi")" 0
[ ! -e "$program" ] || qb_check_fail "the program folder is still there: $(ls "$program")"
[ ! -e "$shortcut" ] || qb_check_fail "the shortcut is still there"
qb_expect "catalogue after uninstall" "$(md5sum <"$catalogue/quillbank.ini")" "$sum"
qb_expect "working folder after uninstall" "$(ls "$catalogue")" "$(cat "$work/kept")"
qb_expect "products after uninstall" "$(products)" 0

# --- Per machine: Program Files, the user's own working folder made by the install.
rm -rf "$catalogue"
qb_expect "per-machine install" "$(msiexec_status /i "$out/quillbank-$version-x64-machine.msi")" 0
program=$WINEPREFIX/drive_c/Program\ Files/Quillbank
qb_expect "installed files" "$(ls "$program" | tr '\n' ' ')" \
    "README.txt THIRD-PARTY-NOTICES.txt quillbank-cli.exe quillbank.exe sample-quillbank.ini "
[ -d "$catalogue" ] || qb_fail "the per-machine install made no working folder for its user"
# Wine ignores this shortcut's working folder (check_tables.py reads it), and a run
# in a folder is the zip's case: only a catalogue here, for the uninstall to keep.
printf '<ITEM>Alpha<HOST>a01<ICON>0<COL>-1\r\n' >"$catalogue/quillbank.ini"
qb_expect "per-machine uninstall" "$(msiexec_status /x "$out/quillbank-$version-x64-machine.msi")" 0
[ ! -e "$program" ] || qb_check_fail "the per-machine program folder is still there"
saved "$catalogue" || qb_check_fail "the per-machine uninstall lost the catalogue"

[ "$QB_FAILED" = 0 ] || qb_log "what Wine said (Debian's note on wine32 left out):"$'\n'"$(
    grep -v -e wine32 -e multiarch -e add-architecture "$work/wine.log" | tail -n 30)"
qb_finish

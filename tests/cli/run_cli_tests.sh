#!/bin/bash
# quillbank-cli run as a user runs it, on small files made here.
# Usage: run_cli_tests.sh CLI_PATH [EMULATOR...]
. "$(dirname "$0")/cli_lib.sh"

# --- dump: every kind, the fields of its kind only, ANSI bytes as UTF-8
printf '%s\r\n' \
    '<X>-8<Y>30<BROWSER>c:\Tools\browser.exe<RDPX>-1<RPDY>0<HIDE><END>' \
    $'<ITEM>Caf\xe9 \x80<HOST>cafe01<ICON>7<COL>255' \
    '  <NAME>Ping<RUN>cmd.exe<PARAMS>/k ping %HOST%<IICON>5<CONFIRM>1<BOLD>0' \
    '  <WINDOWS>1<P1>cafe01<P2>C$,D$<IICON>17' \
    '  <SEP>' >all.ini
# LF alone from here on, the last line unterminated
printf '%s\n' \
    '  <URL>http://%HOST%/<NAME>Status<ALT>1<IICON>12' \
    '  <NAME>-<RUN>x<PARAMS><IICON>3<CONFIRM>0<BOLD>1' >>all.ini
printf '%s' '<ITEM>Empty<HOST><ICON>0<COL>-1' >>all.ini

t 0 dump all.ini
expect_json "dump of every kind" '{
  "options": {"windowX": -8, "windowY": 30, "alternateBrowserPath": "c:\\Tools\\browser.exe", "rdpWidth": -1,
              "rdpHeight": 768, "hideTaskbarButton": true},
  "hosts": [
    {"title": "Café €", "hostName": "cafe01", "icon": 7, "colour": 255, "entries": [
      {"kind": "CustomCommand", "name": "Ping", "program": "cmd.exe", "params": "/k ping %HOST%", "icon": 5,
       "confirm": true, "bold": false},
      {"kind": "WindowsTemplate", "templateHost": "cafe01", "drives": "C$,D$", "icon": 17},
      {"kind": "Separator"},
      {"kind": "Url", "url": "http://%HOST%/", "alternateBrowser": true, "urlName": "Status", "icon": 12},
      {"kind": "Separator"}]},
    {"title": "Empty", "hostName": "", "icon": 0, "colour": -1, "entries": []}]}'
[ -z "$err" ] || fail "dump: unexpected stderr: $err"

# --- dump of a missing file (the defaults are the core's test); FILE defaults to quillbank.ini
t 0 dump missing.ini
[[ "$err" == *missing.ini* && "$out" == *'"windowX": null'*'"hosts": []'* ]] || fail "dump of a missing file: $out$err"
cp all.ini quillbank.ini
t 0 dump
[[ "$out" == *'"title": "Empty"'* ]] || fail "dump without FILE did not read quillbank.ini"

# --- check
printf '%s\r\n' '  <SEP>' '<ITEM>Files<HOST>files02<ICON>120<COL>-1' >bad.ini
t 1 check bad.ini
expect_text "$out" $'bad.ini:1: separator line before the first host line: it is ignored and dropped at the next save
bad.ini:2: icon 120 is outside 0 to 119' "check findings"

# --- rewrite: the program's bytes
printf '%s\n' '<ITEM>Web<HOST>web03<ICON> 4<COL>-1' >noopts.ini
cp noopts.ini noopts.old
# A killed save's leftover goes; a file that only looks alike stays.
: >noopts.ini.tmp-99-1
: >noopts.ini.tmp-mine
t 0 rewrite noopts.ini
[ ! -e noopts.ini.tmp-99-1 ] || fail "rewrite: a killed save's temporary file is still there"
[ -e noopts.ini.tmp-mine ] || fail "rewrite: removed a file that is not its own"
# Again: the bytes are already the program's, so the backup stays the first file.
run rewrite noopts.ini
cmp -s noopts.ini.bak noopts.old || fail "rewrite: the backup is not the previous file"
printf '%s\r\n' '<X>0<Y>0<BROWSER>c:\Program Files\Internet Explorer\iexplore.exe<RDPX>1024<RPDY>768<END>' \
    '<ITEM>Web<HOST>web03<ICON>4<COL>-1' >noopts.expected
cmp -s noopts.ini noopts.expected || fail "rewrite without options line: bytes differ"
t 0 check noopts.ini
expect_text "$out" "" "check of a file as the program writes it prints nothing"

# --- rewrite failing: one line naming the path, exit 2, nothing made or changed
mkdir -p sub folder.ini/inside
printf '%s\n' '<X>-1920<Y>-5<BROWSER>b<RDPX>-1<RPDY>600<HIDE><END>' >sub/lf.ini
cp sub/lf.ini sub/ro.ini
chmod 444 sub/ro.ini
while IFS='|' read -r target message; do
    refused "rewrite $target" "$message" rewrite "$target"
done <<'CASES'
nofolder/quillbank.ini|nofolder/quillbank.ini not found
sub/ro.ini|Unable to save sub/ro.ini: ?
folder.ini|
CASES
[ ! -e nofolder ] || fail "rewrite of a missing file created it"
cmp -s sub/ro.ini sub/lf.ini || fail "rewrite of a read-only file changed it"
[ -d folder.ini/inside ] || fail "rewrite of a folder changed it"
chmod 644 sub/ro.ini

# --- merge: whole hosts, three ways, into -o's file
printf '%s\r\n' '<X>10<Y>20<BROWSER>b<RDPX>1024<RPDY>768<END>' \
    '<ITEM>Alpha<HOST>a1<ICON>1<COL>-1' '<ITEM>Beta<HOST>b1<ICON>2<COL>-1' >base.ini
sed 's/a1/a2/' base.ini >mine.ini
cp base.ini theirs.ini
printf '<ITEM>Delta<HOST>d1<ICON>4<COL>-1\r\n' >>theirs.ini
sed 's/a1/a2/' theirs.ini >merged.expected
cp mine.ini mine.orig
t 0 merge base.ini mine.ini theirs.ini -o out.ini
cmp -s out.ini merged.expected || fail "merge -o: bytes differ"
cmp -s mine.ini mine.orig || fail "merge -o changed MINE"

# into MINE, as Git's merge driver calls it; both sides changed Alpha and Beta: both kept, titles on stderr
sed 's/a1/a3/; s/b1/b3/' base.ini >mine.ini
sed 's/a1/a4/; s/b1/b4/' base.ini >theirs2.ini
t 1 merge base.ini mine.ini theirs2.ini
expect_text "$err" "quillbank-cli: both versions were kept of: Alpha, Beta" "merge conflict titles"
[ "$(grep -c '<ITEM>Alpha' mine.ini)" = 2 ] || fail "merge with conflicts: Alpha not kept twice"

# --- import and export
printf '%s\r\n' 'title,host,icon,colour' 'Mail,mail01,3,#ff0000' 'Web,WEB01.corp.example,,' 'Mail again,MAIL01,,' \
    >hosts.csv
t 0 import hosts.csv new.ini --template --icon 9
expect_json "import result" '{"added": ["Mail", "Web"], "skipped": [{"title": "Mail again", "reason": "duplicate"}]}'
expect_text "$(tr -d '\r' <new.ini | sed '/^<X>/d')" "$(printf '%s\n' '<ITEM>Mail<HOST>mail01<ICON>3<COL>255' \
    '  <WINDOWS>1<P1>mail01<P2>C$<IICON>17' '<ITEM>Web<HOST>WEB01.corp.example<ICON>9<COL>-1' \
    '  <WINDOWS>1<P1>WEB01.corp.example<P2>C$<IICON>17')" "imported hosts"

# a folder: its own .rdp files, by name
mkdir -p rdps/sub
printf 'full address:s:pc01\r\n' >rdps/b.rdp
printf 'full address:s:pc02:3390\r\n' >rdps/a.RDP
printf 'full address:s:pc03\r\n' >rdps/sub/c.rdp
printf 'pc04\r\n' >rdps/d.txt
cp new.ini before.ini
run import rdps new.ini --dry-run
expect_json "folder of .rdp files" '{"added": ["a", "b"], "skipped": []}'
cmp -s new.ini before.ini || fail "--dry-run changed the catalogue"

t 0 export out.csv new.ini
printf '\xef\xbb\xbftitle,host,icon,colour\r\nMail,mail01,3,255\r\nWeb,WEB01.corp.example,9,-1\r\n' | cmp -s - out.csv ||
    fail "export: bytes differ"

printf 'pc05\n' >list.txt
printf 'x' >hosts.doc

# --- saves killed at each step: the file old or new; the next saving command clears what was left, keeps the
# replaced file as the backup, and takes no name of its own for a reason to rewrite in place (which it would die in)
cp noopts.old k.old
cp noopts.expected k.new
for killed in "rewrite k.ini" "merge k.ini k.ini k.ini -o k.ini"; do
    for step in temporary-written backup-kept replaced; do
        cp k.old k.ini && rm -f k.ini.bak
        # shellcheck disable=SC2086
        QB_KILL_AT=$step run $killed
        expect_rc 137 "$killed killed at $step"
        { [ $step = replaced ] && cmp -s k.ini k.new; } || { [ $step != replaced ] && cmp -s k.ini k.old; } ||
            fail "$killed killed at $step: the file is neither the old nor the new one"
        QB_KILL_AT=in-place run merge k.ini k.ini k.ini -o k.ini
        expect_rc 0 "merge -o after $killed killed at $step"
        cmp -s k.ini k.new && cmp -s k.ini.bak k.old || fail "after $killed killed at $step: file or backup wrong"
        [ -z "$(ls k.ini.*tmp-* 2>/dev/null)" ] || fail "after $killed killed at $step: left $(ls k.ini.*tmp-*)"
    done
done

# --- readers make no lock file; one that cannot be locked fails a save, named, and the file stays
cp all.ini r.ini
for read in "dump r.ini" "check r.ini" "import list.txt r.ini --dry-run"; do
    # shellcheck disable=SC2086
    run $read
done
[ ! -e r.ini.lock ] || fail "a reader made r.ini.lock"
mkdir r.ini.lock
t 2 import list.txt r.ini
[[ "$err" == "quillbank-cli: Unable to save r.ini: "*"(the lock file "*"r.ini.lock)" ]] || fail "lock folder: $err"
cmp -s r.ini all.ini || fail "a save without its lock changed the file"

# --- errors: one line on stderr, exit status 2
t_errors <<'CASES'
frobnicate
dump all.ini extra.ini
merge base.ini mine.ini theirs.ini -o
import nothere.csv new.ini
import hosts.doc new.ini
import list.txt new.ini --icon 120
import list.txt new.ini --user admin
import list.txt folder.ini
CASES
cmp -s new.ini before.ini || fail "a failed import changed the catalogue"

t 2

t 0 help
case "$out" in *rewrite*) ;; *) fail "help does not list the commands" ;; esac
finish "cli tests"

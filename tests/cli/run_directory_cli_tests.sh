#!/bin/bash
# quillbank-cli import from the domain controller of tests/directory/dc.sh (QB_DC_DIR).
# Usage: run_directory_cli_tests.sh CLI_PATH [EMULATOR...]
. "$(dirname "$0")/cli_lib.sh"
# shellcheck source=/dev/null
. "$QB_DC_DIR/env.sh"
windows=$([ ${#EMULATOR[@]} -gt 0 ] && echo 1)
address="$QB_DC_URL/$QB_DC_BASE"
cp "$QB_DC_PASSWORD_FILE" password.txt
printf '%s\r\n' "$(cat password.txt)" >password-crlf.txt
admin=(--user "$QB_DC_USER" --password-file password.txt)

# --- into a catalogue that has a short name; ldaps, DOMAIN\user, CR LF
# (Wine's Negotiate bind seals even over TLS, which the server refuses: ldap:// there)
secure=$([ -n "$windows" ] && echo ldap || echo ldaps)
printf '%s\r\n' '<ITEM>Mail<HOST>SRV01<ICON>5<COL>-1' >hosts.ini
t 0 import "$secure://127.0.0.1/$QB_DC_BASE" hosts.ini --user "$QB_DC_DOMAIN_USER" \
    --password-file password-crlf.txt --insecure --page-size 2 --icon 9
expect_json "import over $secure" '{"added": ["Café-01", "PC01", "nodns", "srv02"],
  "skipped": [{"title": "SRV-OLD", "reason": "disabled"}, {"title": "SRV01", "reason": "duplicate"},
              {"title": "lap07", "reason": "disabled"}, {"title": "pc01", "reason": "duplicate"}]}'
expect_text "$(tr -d '\r' <hosts.ini | sed '/^<X>/d')" "$(printf '%s\n' '<ITEM>Mail<HOST>SRV01<ICON>5<COL>-1' \
    $'<ITEM>Caf\xe9-01<HOST>cafe01.test.lan<ICON>9<COL>-1' '<ITEM>PC01<HOST>PC01.TEST.LAN<ICON>9<COL>-1' \
    '<ITEM>nodns<HOST>nodns<ICON>9<COL>-1' '<ITEM>srv02<HOST>srv02.test.lan<ICON>9<COL>-1')" "the imported hosts as saved"

# --- a filter of one's own
run import "$address" dry.ini "${admin[@]}" --insecure --dry-run --filter '(&(objectClass=computer)(cn=srv*))'
expect_json "filter" '{"added": ["SRV01", "srv02"], "skipped": [{"title": "SRV-OLD", "reason": "disabled"}]}'

# --- refusals: one line on stderr naming the cause, exit 2, nothing saved
cp hosts.ini before.ini
refuse() { refused "$1" "$2" import "${@:3}"; } # refuse WHAT TEXT-IN-THE-MESSAGE ARGS...
printf 'wrong\n' >wrong.txt
refuse "wrong password" "bind to 127.0.0.1 failed" "$address" hosts.ini --user "$QB_DC_USER" --password-file wrong.txt --insecure
refuse "no such base" "search at 127.0.0.1 failed" "$QB_DC_URL/OU=Nowhere,DC=test,DC=lan" hosts.ini "${admin[@]}" --insecure
refuse "nothing listening" "connection to 127.0.0.1 failed" "ldap://127.0.0.1:1/$QB_DC_BASE" hosts.ini "${admin[@]}" --insecure
refuse "password file alone" "--password-file needs --user" "$address" hosts.ini --password-file password.txt
refuse "no password, no terminal" "--password-file" "$address" hosts.ini --user "$QB_DC_USER" --insecure
[ -n "$windows" ] || refuse "untrusted certificate" "certificate" "ldaps://127.0.0.1/$QB_DC_BASE" hosts.ini "${admin[@]}"
cmp -s hosts.ini before.ini || fail "a refused import changed the catalogue"

# Negotiate seals the bind, so plain ldap:// needs no --insecure.
[ -n "$windows" ] && t 0 import "$address" dry.ini "${admin[@]}" --dry-run
finish "directory cli tests"

#!/bin/bash
# A throwaway domain controller on 127.0.0.1, LDAP only, filled by populate.sh.
#   dc.sh start DIR (writes DIR/env.sh) | dc.sh stop DIR
# It also ends with QB_DC_WATCH_PID (default the caller): a timed-out run skips its cleanup.
set -u
action=${1:-}
dir=${2:-}
[[ "$action" =~ ^(start|stop)$ && -n "$dir" ]] || { echo "usage: dc.sh start|stop DIR" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)

REALM=TEST.LAN
DOMAIN=TEST
BASE_DN="DC=test,DC=lan"
ADMIN="Administrator@$REALM"
PASSWORD='Quill-bank-42!'
URL=ldap://127.0.0.1
MAX_RUNTIME=${QB_DC_MAX_RUNTIME:-1800}

log() { echo "dc: $*" >&2; }

# Seconds since boot, for the waits: $SECONDS follows the wall clock, which this machine steps.
since_boot() { local up; read -r up _ </proc/uptime; echo "${up%.*}"; }

stop() {
    local pid
    pid=$(cat "$dir/supervisor.pid" 2>/dev/null) || return 0
    rm -f "$dir/supervisor.pid"
    # After a reboot the number may belong to another process.
    tr '\0' ' ' 2>/dev/null <"/proc/$pid/cmdline" | grep -qF "dc-supervisor $dir " || return 0
    kill -TERM "$pid" 2>/dev/null || return 0
    while kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
}

provision() {
    mkdir -p "$dir/log" "$dir/run"
    printf '%s' "$PASSWORD" >"$dir/password"
    chmod 600 "$dir/password"
    if ! samba-tool domain provision --targetdir="$dir" --realm=$REALM --domain=$DOMAIN \
            --adminpass="$PASSWORD" --server-role=dc --dns-backend=NONE --use-rfc2307 --host-name=dc1 \
            --option="interfaces=lo" --option="bind interfaces only=yes" --option="server services=ldap" \
            --option="log file=$dir/log/%m.log" --option="pid directory=$dir/run" \
            >"$dir/log/provision.log" 2>&1; then
        log "provisioning failed:"; tail -20 "$dir/log/provision.log" >&2; exit 1
    fi
    # Simple binds over plain LDAP; provision drops this option when given it.
    sed -i 's/^\[global\]$/[global]\n\tldap server require strong auth = no/' "$dir/etc/smb.conf"
}

start() {
    for tool in samba samba-tool ldapadd ldapsearch; do
        command -v "$tool" >/dev/null || PATH=$PATH:/usr/sbin
        command -v "$tool" >/dev/null || { log "$tool missing (scripts/deps.sh test installs it)"; exit 1; }
    done
    [ "$(id -u)" = 0 ] || { log "samba must run as root"; exit 1; }
    stop
    # Another build folder's server may own the port until its tests end.
    local deadline=$(($(since_boot) + 120))
    while (exec 3<>/dev/tcp/127.0.0.1/389) 2>/dev/null; do
        [ "$(since_boot)" -ge $deadline ] && { log "127.0.0.1:389 stays in use by another program"; exit 1; }
        sleep 0.2
    done

    # Provisioning is most of the start-up: a copy is kept while this script is unchanged.
    local pristine="$dir.pristine" key
    key=$(cksum <"$0")
    rm -rf "$dir"
    if [ "$(cat "$pristine/made-by" 2>/dev/null)" = "$key" ]; then
        cp -a "$pristine" "$dir"
    else
        rm -rf "$pristine"
        provision
        cp -a "$dir" "$pristine.new" && echo "$key" >"$pristine.new/made-by" && mv "$pristine.new" "$pristine"
    fi

    local watch=${QB_DC_WATCH_PID:-$PPID}
    setsid bash -c '
        trap "kill -TERM \$samba 2>/dev/null; wait \$samba; exit 0" TERM INT HUP
        samba -s "$1/etc/smb.conf" -i -M single --maximum-runtime="$2" </dev/null >>"$1/log/samba.out" 2>&1 &
        samba=$!
        while kill -0 "$3" 2>/dev/null && kill -0 $samba 2>/dev/null; do sleep 1; done
        kill -TERM $samba 2>/dev/null
        wait $samba
    ' dc-supervisor "$dir" "$MAX_RUNTIME" "$watch" </dev/null >/dev/null 2>&1 &
    echo $! >"$dir/supervisor.pid"
    trap 'stop' EXIT

    deadline=$(($(since_boot) + 120))
    until ldapsearch -x -LLL -o nettimeout=5 -H "$URL" -D "$ADMIN" -y "$dir/password" \
        -b "" -s base defaultNamingContext >/dev/null 2>&1; do
        if ! kill -0 "$(cat "$dir/supervisor.pid")" 2>/dev/null || [ "$(since_boot)" -ge $deadline ]; then
            log "samba did not answer a bind:"; tail -20 "$dir/log/samba.out" >&2; exit 1
        fi
        sleep 0.2
    done
    if ! "$here/populate.sh" "$BASE_DN" | ldapadd -x -H "$URL" -D "$ADMIN" -y "$dir/password" \
            >"$dir/log/populate.log" 2>&1; then
        log "populating failed:"; tail -20 "$dir/log/populate.log" >&2; exit 1
    fi
    cat >"$dir/env.sh" <<ENV
QB_DC_URL=$URL
QB_DC_BASE="OU=Quillbank,$BASE_DN"
QB_DC_USER=$ADMIN
QB_DC_DOMAIN_USER='$DOMAIN\\Administrator'
QB_DC_PASSWORD_FILE=$dir/password
ENV
    trap - EXIT
}

"$action"

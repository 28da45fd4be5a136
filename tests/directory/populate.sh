#!/bin/bash
# populate.sh BASE-DN: the import tests' tree as LDIF. userAccountControl 4096
# is a workstation account, 4098 the same disabled.
set -eu
base=$1
ou="OU=Quillbank,$base"

ou() { printf 'dn: %s\nobjectClass: organizationalUnit\n\n' "$1"; }
# computer OU CN SAMACCOUNTNAME UAC [DNSHOSTNAME]
computer() {
    local dn="CN=$2,$1"
    if printf '%s' "$dn" | LC_ALL=C grep -q '[^ -~]'; then
        printf 'dn:: %s\n' "$(printf '%s' "$dn" | base64 -w0)"
    else
        printf 'dn: %s\n' "$dn"
    fi
    printf 'objectClass: computer\nsAMAccountName: %s$\nuserAccountControl: %s\n' "$3" "$4"
    [ -n "${5:-}" ] && printf 'dNSHostName: %s\n' "$5"
    printf '\n'
}

ou "$ou"
ou "OU=Servers,$ou"
ou "OU=Desks,$ou"
ou "OU=Laptops,OU=Desks,$ou"
ou "OU=Elsewhere,$base"
computer "OU=Servers,$ou" SRV01 SRV01 4096 srv01.test.lan
computer "OU=Servers,$ou" srv02 SRV02 4096 srv02.test.lan
computer "OU=Servers,$ou" SRV-OLD SRV-OLD 4098 srv-old.test.lan
computer "OU=Desks,$ou" pc01 PC01 4096 pc01.test.lan
computer "OU=Desks,$ou" nodns NODNS 4096
computer "OU=Desks,$ou" 'Café-01' CAFE01 4096 cafe01.test.lan
computer "OU=Laptops,OU=Desks,$ou" PC01 PC01-L 4096 PC01.TEST.LAN
computer "OU=Laptops,OU=Desks,$ou" lap07 LAP07 4098
computer "OU=Elsewhere,$base" outside OUTSIDE 4096 outside.test.lan
printf 'dn: CN=alice,OU=Desks,%s\nobjectClass: user\nsAMAccountName: alice\n\n' "$ou"

#!/bin/sh
# Installs the Debian packages that a target needs, when they are missing.
# Usage: scripts/deps.sh build|windows|dist|test|run
set -u
need="cmake ninja-build g++ make libgtest-dev libgmock-dev googletest libbenchmark-dev nlohmann-json3-dev libexpat1-dev libldap-dev"
# The release: MSIs (wixl), their tables (msiinfo), signatures, the zip read back.
packaging="wixl msitools osslsigncode openssl unzip"
case "${1:-test}" in
    build) ;;
    windows|run) need="$need g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 xvfb xdotool x11-utils imagemagick" ;;
    dist) need="$need g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 $packaging" ;;
    test) need="$need g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 wine wine64 xvfb xdotool x11-utils imagemagick clang libclang-rt-14-dev python3
          samba-ad-dc samba-ad-provision ldap-utils $packaging" ;;
esac
missing=""
for p in $need; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing missing packages:$missing"
if [ "$(id -u)" != 0 ]; then
    echo "error: missing Debian packages:$missing" >&2
    echo "       run as root, or: sudo apt-get install$missing" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
if ! { apt-get update -qq && apt-get install -y -qq --no-install-recommends $missing; } >/tmp/quillbank-apt.log 2>&1; then
    echo "error: could not install:$missing (see /tmp/quillbank-apt.log)" >&2
    exit 1
fi

#!/bin/bash
# A signed release: a throwaway self-signed certificate (its key behind a
# password) signs both programs, in the zip and inside the MSIs, and the MSIs;
# osslsigncode accepts each signature with that certificate and rejects each
# file with one byte changed inside a section of a program or a stream of an
# MSI. SHA256SUMS is of the signed files.
# Usage: test_signing.sh path/to/quillbank.exe (of a Release build)
set -u -o pipefail
build=$(cd "$(dirname "$1")/.." && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
if ! grep -qx 'CMAKE_BUILD_TYPE:STRING=Release' "$build/CMakeCache.txt"; then
    echo "skipped: packages are made from Release builds"
    exit 77
fi
# A folder of its own, fail and finish.
. "$root/tests/cli/cli_lib.sh" "$1"

echo "a password of the test's own" >pass.txt
openssl req -x509 -newkey rsa:2048 -keyout key.pem -passout file:pass.txt -out cert.pem -days 2 \
    -subj "/CN=Quillbank test signer" -addext keyUsage=digitalSignature -addext extendedKeyUsage=codeSigning \
    2>/dev/null || { echo "FAIL: openssl could not make a certificate"; exit 1; }
python3 "$root/packaging/dist.py" --cert cert.pem --key key.pem --pass-file pass.txt release out "$build" >dist.log ||
    { echo "FAIL: dist.py: $(cat dist.log)"; exit 1; }
grep -q '^unsigned' dist.log && fail "a signed release says it is unsigned"
(cd out && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the signed files"

mkdir zip msi
unzip -q out/quillbank-*-x64.zip quillbank.exe quillbank-cli.exe -d zip
(cd msi && msiextract ../out/quillbank-*-x64.msi >/dev/null) || fail "msiextract failed"
files=(zip/quillbank.exe zip/quillbank-cli.exe out/*.msi)
files+=("$(find msi -name quillbank.exe)" "$(find msi -name quillbank-cli.exe)")
accepted() { osslsigncode verify -CAfile cert.pem -in "$1" >verify.log 2>&1; }
for file in "${files[@]}"; do
    accepted "$file" || fail "$file: signature not accepted: $(tail -n 3 verify.log)"
done

# One byte changed: in the middle of a program's first section, in the first
# sector of an MSI's embedded cabinet stream.
tamper() {
    python3 - "$1" "$2" <<'PY'
import struct, sys
path, kind = sys.argv[1], sys.argv[2]
data = bytearray(open(path, "rb").read())
if kind == "exe":
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections = pe + 24 + struct.unpack_from("<H", data, pe + 20)[0]
    size, start = struct.unpack_from("<II", data, sections + 16)
    at = start + size // 2
else:
    at = data.index(b"MSCF") + 100
data[at] ^= 0x01
open(path, "wb").write(data)
PY
}
for file in "${files[@]}"; do
    cp "$file" tampered
    case $file in *.exe) tamper tampered exe ;; *) tamper tampered msi ;; esac
    accepted tampered && fail "$file with one byte changed: signature still accepted"
done

finish "signing tests"

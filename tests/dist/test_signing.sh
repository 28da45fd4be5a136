#!/bin/bash
# A signed release: a throwaway self-signed certificate (its key behind a
# password) signs both programs, in the zip and inside the MSIs, and the MSIs;
# osslsigncode accepts each signature with that certificate, which it checks
# against the file's bytes. SHA256SUMS is of the signed files.
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
(cd out && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the signed files"

mkdir zip msi
unzip -q out/quillbank-*-x64.zip quillbank.exe quillbank-cli.exe -d zip
(cd msi && msiextract ../out/quillbank-*-x64.msi >/dev/null) || fail "msiextract failed"
files=(zip/quillbank.exe zip/quillbank-cli.exe out/*.msi)
files+=("$(find msi -name quillbank.exe)" "$(find msi -name quillbank-cli.exe)")
for file in "${files[@]}"; do
    osslsigncode verify -CAfile cert.pem -in "$file" >verify.log 2>&1 ||
        fail "$file: signature not accepted: $(tail -n 3 verify.log)"
done

finish "signing tests"

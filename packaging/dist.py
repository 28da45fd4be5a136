#!/usr/bin/env python3
"""Makes a release of Quillbank from Release builds of the Windows program.

  dist.py release OUT BUILD...   the zip, the per-user and per-machine MSIs of
                                 each build (64- or 32-bit, read from the
                                 program) and SHA256SUMS, in OUT
  dist.py payload BUILD DIR      the files a package holds, in DIR
  dist.py msi PAYLOAD OUT.msi --arch x64|x86 --scope user|machine --version V
                                 one MSI of a payload

Signing: with --cert and --key (PEM or DER; --pass-file for a key's password,
--timestamp for an RFC 3161 server) both programs are signed before they are
packed, then each MSI, and SHA256SUMS is written last. Without them the
release is unsigned and says so.
"""
import argparse
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import uuid
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
WXS = os.path.join(HERE, "quillbank.wxs")
NOTICES = os.path.join(HERE, "THIRD-PARTY-NOTICES.txt")

ARCHES = {0x8664: "x64", 0x14C: "x86"}
STRIP = {"x64": "x86_64-w64-mingw32-strip", "x86": "i686-w64-mingw32-strip"}
# The files of the zip and of the MSIs' program folder. The sample is never
# named quillbank.ini: unpacked over a copy in use it must not replace the
# user's catalogue.
PACKAGE_FILES = ["quillbank.exe", "quillbank-cli.exe", "sample-quillbank.ini", "README.txt",
                 "THIRD-PARTY-NOTICES.txt"]
SCOPES = {"user": "", "machine": "-machine"}
# Product codes are derived from release, architecture and scope, so that a
# package built again for the same release installs as the same product.
PRODUCT_CODES = uuid.UUID("9b045952-6f2f-43e7-af93-b550e21251b1")


class DistError(Exception):
    pass


def run(command, **kwargs):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **kwargs)
    if result.returncode != 0:
        raise DistError("%s failed:\n%s" % (os.path.basename(command[0]), result.stdout.strip()))
    return result.stdout


def pe_architecture(path):
    with open(path, "rb") as exe:
        data = exe.read(4096)
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0":
        raise DistError("%s is not a Windows program" % path)
    machine = struct.unpack_from("<H", data, pe + 4)[0]
    if machine not in ARCHES:
        raise DistError("%s: unknown machine 0x%x" % (path, machine))
    return ARCHES[machine]


def file_version(path):
    """The four fields of the program's version resource (its fixed part)."""
    with open(path, "rb") as exe:
        data = exe.read()
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        raise DistError("%s has no version resource" % path)
    ms, ls = struct.unpack_from("<II", data, at + 8)
    return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)


def check_version(text):
    # Windows Installer reads three fields: major and minor up to 255, build
    # up to 65535, and ignores a fourth.
    match = re.fullmatch(r"(\d+)\.(\d+)\.(\d+)", text)
    if not match or int(match[1]) > 255 or int(match[2]) > 255 or int(match[3]) > 65535:
        raise DistError("version %r is not MAJOR.MINOR.BUILD within 255.255.65535" % text)
    return text


def cache_value(build, name):
    with open(os.path.join(build, "CMakeCache.txt"), encoding="utf-8") as cache:
        for line in cache:
            key, _, value = line.rstrip("\n").partition("=")
            if key.split(":")[0] == name:
                return value
    return ""


class Signer:
    def __init__(self, cert=None, key=None, pass_file=None, timestamp=None):
        if bool(cert) != bool(key):
            raise DistError("signing needs both a certificate and a key")
        self.cert, self.key, self.pass_file, self.timestamp = cert, key, pass_file, timestamp

    def __bool__(self):
        return bool(self.cert)

    def sign(self, path):
        if not self:
            return
        command = ["osslsigncode", "sign", "-certs", self.cert, "-key", self.key, "-h", "sha256",
                   "-n", "Quillbank"]
        if self.pass_file:
            command += ["-readpass", self.pass_file]
        if self.timestamp:
            command += ["-ts", self.timestamp]
        signed = path + ".signed"
        run(command + ["-in", path, "-out", signed])
        os.replace(signed, path)


def text_file(source, target):
    # Windows text: CR LF, whatever the checkout has.
    with open(source, "rb") as f:
        lines = f.read().replace(b"\r\n", b"\n").split(b"\n")
    with open(target, "wb") as f:
        f.write(b"\r\n".join(lines))


def payload(build, target, signer):
    """Copies a build's programs (stripped, then signed) and the other files
    into target; returns (architecture, version)."""
    build_type = cache_value(build, "CMAKE_BUILD_TYPE")
    if build_type != "Release":
        raise DistError("%s is a %s build, not Release" % (build, build_type or "untyped"))
    version = check_version(cache_value(build, "CMAKE_PROJECT_VERSION"))
    programs = {"quillbank.exe": os.path.join(build, "src", "quillbank.exe"),
                "quillbank-cli.exe": os.path.join(build, "src", "cli", "quillbank-cli.exe")}
    arch = pe_architecture(programs["quillbank.exe"])
    built = "%d.%d.%d.%d" % file_version(programs["quillbank.exe"])
    if built != version + ".0":
        raise DistError("%s carries version %s, the project %s: build it again" %
                        (programs["quillbank.exe"], built, version))
    os.makedirs(target, exist_ok=True)
    for name, source in programs.items():
        if pe_architecture(source) != arch:
            raise DistError("%s is not a %s program" % (source, arch))
        copy = os.path.join(target, name)
        shutil.copyfile(source, copy)
        run([STRIP[arch], "--strip-unneeded", copy])
        signer.sign(copy)
    shutil.copyfile(os.path.join(ROOT, "samples", "quillbank.ini"), os.path.join(target, "sample-quillbank.ini"))
    text_file(os.path.join(ROOT, "README.md"), os.path.join(target, "README.txt"))
    text_file(NOTICES, os.path.join(target, "THIRD-PARTY-NOTICES.txt"))
    shutil.copyfile(os.path.join(build, "src", "res", "generated", "quillbank.ico"),
                    os.path.join(target, "quillbank.ico"))
    return arch, version


def product_code(version, arch, scope):
    # Windows Installer wants its GUIDs in capitals.
    return str(uuid.uuid5(PRODUCT_CODES, "%s/%s/%s" % (version, arch, scope))).upper()


def build_msi(source, out, arch, scope, version, signer):
    check_version(version)
    # wixl resolves the files relative to the folder it runs in.
    run(["wixl", "-a", arch, "-D", "Version=" + version, "-D", "ProductCode=" + product_code(version, arch, scope),
         "-D", "Arch=" + arch, "-D", "Scope=" + scope, "-D", "Payload=.", "-o", os.path.abspath(out), WXS],
        cwd=source)
    signer.sign(out)


def build_zip(source, out):
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as archive:
        for name in PACKAGE_FILES:
            archive.write(os.path.join(source, name), name)


def write_sums(out, names):
    with open(os.path.join(out, "SHA256SUMS"), "w", newline="\n") as sums:
        for name in sorted(names):
            with open(os.path.join(out, name), "rb") as f:
                sums.write("%s  %s\n" % (hashlib.sha256(f.read()).hexdigest(), name))


def release(out, builds, signer):
    os.makedirs(out, exist_ok=True)
    made, versions = [], set()
    with tempfile.TemporaryDirectory(prefix="quillbank-dist-") as work:
        for index, build in enumerate(builds):
            source = os.path.join(work, str(index))
            arch, version = payload(build, source, signer)
            versions.add(version)
            if len(versions) > 1:
                raise DistError("the builds are of different releases: %s" % ", ".join(sorted(versions)))
            stem = "quillbank-%s-%s" % (version, arch)
            build_zip(source, os.path.join(out, stem + ".zip"))
            made.append(stem + ".zip")
            for scope, suffix in SCOPES.items():
                build_msi(source, os.path.join(out, stem + suffix + ".msi"), arch, scope, version, signer)
                made.append(stem + suffix + ".msi")
    write_sums(out, made)
    for name in sorted(made) + ["SHA256SUMS"]:
        print("%10d  %s" % (os.path.getsize(os.path.join(out, name)), os.path.join(out, name)))
    if not signer:
        print("unsigned: no certificate and key given (SIGN_CERT, SIGN_KEY)")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--cert", help="code-signing certificate (PEM or DER)")
    parser.add_argument("--key", help="its private key")
    parser.add_argument("--pass-file", help="a file holding the key's password")
    parser.add_argument("--timestamp", help="an RFC 3161 timestamp server's address")
    commands = parser.add_subparsers(dest="command", required=True)
    command = commands.add_parser("release")
    command.add_argument("out")
    command.add_argument("builds", nargs="+")
    command = commands.add_parser("payload")
    command.add_argument("build")
    command.add_argument("target")
    command = commands.add_parser("msi")
    command.add_argument("source")
    command.add_argument("out")
    command.add_argument("--arch", choices=["x64", "x86"], required=True)
    command.add_argument("--scope", choices=sorted(SCOPES), required=True)
    command.add_argument("--version", required=True)
    args = parser.parse_args()
    try:
        signer = Signer(args.cert, args.key, args.pass_file, args.timestamp)
        if args.command == "release":
            release(args.out, args.builds, signer)
        elif args.command == "payload":
            payload(args.build, args.target, signer)
        else:
            build_msi(args.source, args.out, args.arch, args.scope, args.version, signer)
    except (DistError, OSError) as error:
        print("dist: %s" % error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

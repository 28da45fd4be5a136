#!/usr/bin/env python3
"""Reads the manifest back out of a built executable and checks what Windows
takes from it, and that it names the version resource's version. Resources
are stored as they are, so the XML is found in the file's bytes.
Usage: check_manifest.py path/to/quillbank.exe"""
import os
import sys
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "packaging"))
from dist import file_version, pe_architecture  # noqa: E402

ASM1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPAT = "{urn:schemas-microsoft-com:compatibility.v1}"
WS2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
WS2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"
# Windows 7, 8, 8.1 and 10/11.
SUPPORTED_OS = {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}
# The manifest spells the architectures its own way.
MANIFEST_ARCH = {"x64": "amd64", "x86": "x86"}


def manifest_text(data):
    start = data.find(b"<?xml")
    end = data.find(b"</assembly>", start)
    if start < 0 or end < 0:
        sys.exit("no manifest in the executable")
    if data.find(b"<?xml", end) >= 0:
        sys.exit("more than one XML text in the executable")
    return data[start:end + len(b"</assembly>")]


def problems(root, arch, version):
    found = []

    def expect(what, got, wanted):
        if got != wanted:
            found.append("%s: %r, expected %r" % (what, got, wanted))

    def text(path):
        node = root.find(path)
        return None if node is None else (node.text or "").strip()

    expect("root", root.tag, ASM1 + "assembly")
    identity = root.find(ASM1 + "assemblyIdentity")
    expect("own architecture", identity.get("processorArchitecture"), arch)
    expect("own version", identity.get("version"), version)
    controls = [a for a in root.iterfind("%sdependency/%sdependentAssembly/%sassemblyIdentity" % (ASM1, ASM1, ASM1))
                if a.get("name") == "Microsoft.Windows.Common-Controls"]
    expect("common controls dependencies", len(controls), 1)
    for a in controls:
        expect("common controls version", a.get("version"), "6.0.0.0")
        expect("common controls architecture", a.get("processorArchitecture"), arch)
        expect("common controls key", a.get("publicKeyToken"), "6595b64144ccf1df")
    level = root.find("%strustInfo/%ssecurity/%srequestedPrivileges/%srequestedExecutionLevel" % ((ASM3,) * 4))
    expect("execution level", None if level is None else (level.get("level"), level.get("uiAccess")),
           ("asInvoker", "false"))
    systems = root.iterfind("%scompatibility/%sapplication/%ssupportedOS" % ((COMPAT,) * 3))
    expect("supported systems", sorted(s.get("Id") for s in systems), sorted(SUPPORTED_OS))
    settings = "%sapplication/%swindowsSettings/" % (ASM3, ASM3)
    expect("dpiAware", text(settings + WS2005 + "dpiAware"), "true/pm")
    expect("dpiAwareness", text(settings + WS2016 + "dpiAwareness"), "PerMonitorV2, PerMonitor")
    return found


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "rb") as exe:
        data = exe.read()
    arch = MANIFEST_ARCH[pe_architecture(sys.argv[1])]
    try:
        root = ET.fromstring(manifest_text(data))
    except ET.ParseError as error:
        sys.exit("manifest is not well-formed XML: %s" % error)
    found = problems(root, arch, "%d.%d.%d.%d" % file_version(sys.argv[1]))
    for problem in found:
        print("%s: %s" % (sys.argv[1], problem), file=sys.stderr)
    if found:
        return 1
    print("%s: %s manifest as expected" % (sys.argv[1], arch))
    return 0


if __name__ == "__main__":
    sys.exit(main())

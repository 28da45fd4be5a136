#!/usr/bin/env python3
"""Reads back, with msiinfo, the tables of every MSI in a release folder and
checks what Windows Installer acts on and Wine cannot show (the 32-bit
packages cannot be installed here, and Wine ignores a shortcut's working
folder given as a property): the platform, scope and elevation, where the
files go, the shortcut and its working folder, the version and the upgrade
code; and the programs in each zip. Usage: check_tables.py DIST_DIR"""
import os
import re
import subprocess
import sys
import tempfile
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "packaging"))
import dist  # noqa: E402

UPGRADE_CODE = "{177321E8-E5CB-4EAE-B1C9-37818D042910}"
LUA_PACKAGE = 8  # Word Count bit: no elevation needed
COMPONENT_64BIT = 256


def msiinfo(*args):
    return subprocess.run(["msiinfo", *args], check=True, stdout=subprocess.PIPE, text=True).stdout


def table(msi, name):
    """Rows as dicts; msiinfo export writes the column names, two lines of types and keys, then rows."""
    lines = msiinfo("export", msi, name).splitlines()
    columns = lines[0].split("\t")
    return [dict(zip(columns, line.split("\t"))) for line in lines[3:] if line]


def directory_path(directories, key):
    parts = []
    while key and key != "TARGETDIR":
        row = directories[key]
        if row["DefaultDir"] != ".":
            parts.append(row["DefaultDir"].split("|")[-1])
        elif not row["Directory_Parent"] or row["Directory_Parent"] == "TARGETDIR":
            parts.append(key)
        key = row["Directory_Parent"]
    return "\\".join(reversed(parts))


def check_msi(msi, version, arch, scope):
    found = []

    def expect(what, got, wanted):
        if got != wanted:
            found.append("%s: %r, expected %r" % (what, got, wanted))

    summary = msiinfo("suminfo", msi)
    expect("platform", re.search(r"^Template: (.*)$", summary, re.M)[1], {"x64": "x64;1033", "x86": "Intel;1033"}[arch])
    word_count = int(re.search(r"^Source: (\d+)", summary, re.M)[1])
    expect("no elevation needed", bool(word_count & LUA_PACKAGE), scope == "user")

    properties = {row["Property"]: row["Value"] for row in table(msi, "Property")}
    expect("product version", properties.get("ProductVersion"), version)
    expect("upgrade code", properties.get("UpgradeCode"), UPGRADE_CODE)
    expect("ALLUSERS", properties.get("ALLUSERS"), None if scope == "user" else "1")

    directories = {row["Directory"]: row for row in table(msi, "Directory")}
    program_folder = {"user": "LocalAppDataFolder\\Programs\\Quillbank",
                      "machine": ("ProgramFiles64Folder" if arch == "x64" else "ProgramFilesFolder") + "\\Quillbank"}
    expect("program folder", directory_path(directories, "INSTALLDIR"), program_folder[scope])
    expect("working folder", directory_path(directories, "WorkFolder"), "AppDataFolder\\Quillbank")

    components = {row["Component"]: row for row in table(msi, "Component")}
    files = {row["FileName"]: components[row["Component_"]]["Directory_"] for row in table(msi, "File")}
    expect("files", files, {name: "INSTALLDIR" for name in dist.PACKAGE_FILES})
    bits = {name: bool(int(row["Attributes"]) & COMPONENT_64BIT) for name, row in components.items()}
    expect("64-bit components", bits, {name: arch == "x64" for name in components})

    shortcuts = table(msi, "Shortcut")
    expect("shortcuts", [(row["Name"], row["Directory_"]) for row in shortcuts], [("Quillbank", "ProgramMenuFolder")])
    features = {row["Feature_"] for row in table(msi, "FeatureComponents") if row["Component_"] == "WorkFolder"}
    if scope == "user":
        expect("shortcut target", shortcuts[0]["Target"], "[#QuillbankExe]")
        expect("shortcut working folder", shortcuts[0]["WkDir"], "WorkFolder")
    else:
        # Advertised: the target is the feature that also holds the per-user working folder.
        expect("shortcut target", {shortcuts[0]["Target"]}, features)
        expect("shortcut working folder", properties.get(shortcuts[0]["WkDir"]), "%APPDATA%\\Quillbank")
    return found


def check_zip(path, version, arch):
    found = []
    with zipfile.ZipFile(path) as archive, tempfile.TemporaryDirectory() as folder:
        names = sorted(archive.namelist())
        if names != sorted(dist.PACKAGE_FILES):
            found.append("files %r" % names)
        for name in ("quillbank.exe", "quillbank-cli.exe"):
            archive.extract(name, folder)
            program = os.path.join(folder, name)
            if dist.pe_architecture(program) != arch:
                found.append("%s is not %s" % (name, arch))
        built = "%d.%d.%d.%d" % dist.file_version(os.path.join(folder, "quillbank.exe"))
        if built != version + ".0":
            found.append("version resource %s" % built)
    return found


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = sys.argv[1]
    packages = sorted(name for name in os.listdir(folder) if name.endswith((".msi", ".zip")))
    failed = 0
    for name in packages:
        match = re.fullmatch(r"quillbank-(\d+\.\d+\.\d+)-(x64|x86)(-machine)?\.(msi|zip)", name)
        if not match:
            problems = ["not a release's name"]
        elif match[4] == "zip":
            problems = check_zip(os.path.join(folder, name), match[1], match[2])
        else:
            problems = check_msi(os.path.join(folder, name), match[1], match[2], "machine" if match[3] else "user")
        for problem in problems:
            print("%s: %s" % (name, problem), file=sys.stderr)
        failed += bool(problems)
    if len(packages) != 6:
        print("%s: %d packages, expected a zip and two MSIs for each of x64 and x86" % (folder, len(packages)),
              file=sys.stderr)
        failed += 1
    if not failed:
        print("%s: %d packages as expected" % (folder, len(packages)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

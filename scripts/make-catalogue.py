#!/usr/bin/env python3
"""Writes a catalogue of HOSTS hosts with ENTRIES entries each, in the bytes
the program writes (the mix of bench/catalogue_bench.cpp: two custom
commands, a Windows template, a separator and a web address per five).

Usage: make-catalogue.py HOSTS ENTRIES FILE"""
import sys


def main():
    hosts, entries, path = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    lines = ["<X>100<Y>100<BROWSER>c:\\b.exe<RDPX>1024<RPDY>768<END>"]
    for i in range(hosts):
        name = f"srv{i}.corp.example.org"
        colour = -1 if i % 3 == 0 else 0x00336699 + i
        lines.append(f"<ITEM>Server {i} (rack {i % 40})<HOST>{name}<ICON>{i % 120}<COL>{colour}")
        for e in range(entries):
            icon = (i + e) % 120
            kind = e % 5
            if kind < 2:
                lines.append(f"  <NAME>Console {e}<RUN>C:\\Windows\\System32\\cmd.exe"
                             f"<PARAMS>/k ping -t %HOST% -n ??? {e}<IICON>{icon}"
                             f"<CONFIRM>{int(e == 1)}<BOLD>{int(e == 0)}")
            elif kind == 2:
                lines.append(f"  <WINDOWS>1<P1>{name}<P2>c,d,admin$<IICON>{icon}")
            elif kind == 3:
                lines.append("  <SEP>")
            else:
                lines.append(f"  <URL>https://%HOST%:8443/status/{e}<NAME>Status page {e}"
                             f"<ALT>{int(e % 2 == 0)}<IICON>{icon}")
    with open(path, "w", newline="") as out:
        out.write("\r\n".join(lines) + "\r\n")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Checks the compiled help file against the topics the program opens.

    check_help.py KIVO_CHM HELP_TOPICS_H

Lists the .chm with enum_chmLib and unpacks it with extract_chmLib (both
from libchm-bin), then checks that every "::/file.htm#anchor" constant of
the header names a page of the file and an anchor on that page, that the
start page is the file's default topic, and that no link inside the help,
its contents or its index points at a missing page or anchor.
"""
import os
import re
import subprocess
import sys
import tempfile

failures = []


def fail(text):
    failures.append(text)
    print("FAIL: " + text)


def topics(header):
    """The "::/..." strings of the header, by constant name."""
    text = open(header, encoding="utf-8").read()
    found = dict(re.findall(r'(k\w+)\[\]\s*=\s*"(::/[^"]*)"', text))
    if not found:
        sys.exit("no topics found in " + header)
    return found


def listing(chm):
    out = subprocess.run(["enum_chmLib", chm], check=True, capture_output=True, text=True).stdout
    names = set()
    for line in out.splitlines():
        parts = line.split()
        if parts and parts[-1].startswith("/") and "normal file" in line:
            names.add(parts[-1].lstrip("/").lower())
    return names


def anchors_of(html):
    return set(re.findall(r'\b(?:name|id)\s*=\s*"([^"]+)"', html, re.I))


def main():
    chm, header = sys.argv[1], sys.argv[2]
    wanted = topics(header)
    names = listing(chm)
    pages = {}
    with tempfile.TemporaryDirectory() as out:
        subprocess.run(["extract_chmLib", chm, out], check=True, capture_output=True)
        for name in names:
            if name.endswith((".htm", ".html", ".hhc", ".hhk")):
                path = os.path.join(out, name)
                pages[name] = open(path, encoding="cp1252", errors="replace").read()
        system = open(os.path.join(out, "#SYSTEM"), "rb").read() if os.path.exists(
            os.path.join(out, "#SYSTEM")) else b""

    # Every topic the program opens.
    for const, topic in sorted(wanted.items()):
        page, _, anchor = topic[3:].partition("#")
        page = page.lower()
        if page not in names:
            fail(f"{const}: {page} is not in the help file")
        elif anchor and anchor not in anchors_of(pages[page]):
            fail(f"{const}: {page} has no anchor '{anchor}'")

    # Opening the file with no topic shows the start page.
    start = wanted.get("kStartPage", "::/")[3:]
    if start.encode() not in system:
        fail(f"the default topic of the help file is not {start}")

    # Links inside the help: pages, contents and index.
    for name, html in sorted(pages.items()):
        links = re.findall(r'href\s*=\s*"([^"]+)"', html, re.I)
        links += re.findall(r'name="Local"\s+value="([^"]+)"', html, re.I)
        for link in links:
            if re.match(r"[a-z]+:", link, re.I):
                continue
            target, _, anchor = link.partition("#")
            target = (target or name).lower()
            if target not in names:
                fail(f"{name} links to missing {target}")
            elif anchor and target in pages and anchor not in anchors_of(pages[target]):
                fail(f"{name} links to missing anchor {target}#{anchor}")

    for required in ("kivo.hhc", "kivo.hhk"):
        if required not in names:
            fail(f"{required} is not in the help file")

    if failures:
        sys.exit(1)
    print(f"PASS: {len(wanted)} topics, {len(pages)} pages")


if __name__ == "__main__":
    main()

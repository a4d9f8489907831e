#!/usr/bin/env python3
"""The demo of `make run` shows what the README promises: the demo mailbox
through Kivo's own decoding and the demo filters.

    demo_mailbox_test.py KIVO_DIAG DEMO_DIR
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile


def objects(text):
    rows, at, decoder = [], 0, json.JSONDecoder()
    while text[at:].strip():
        row, at = decoder.raw_decode(text, len(text) - len(text[at:].lstrip()))
        rows.append(row)
    return rows


def main(argv):
    tool, demo = argv
    mailbox = os.path.join(demo, "mailbox")
    files = sorted(os.path.join(mailbox, name) for name in os.listdir(mailbox))
    failures = []

    def check(what, got, want):
        if got != want:
            failures.append(f"{what}: got {got!r}, want {want!r}")

    def diag(*args):
        proc = subprocess.run([tool, *args], stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
        check(f"exit code of {args[0]}", proc.returncode, 0)
        return objects(proc.stdout.decode("ascii"))

    messages = {os.path.basename(f): diag("message", f)[0] for f in files}
    # The strings are the ANSI bytes as Latin-1 characters.
    check("Latin-1 base64 subject", messages["02-encoded.eml"]["subject"].strip(), "Grüße aus München")
    check("Latin-1 base64 sender", messages["02-encoded.eml"]["from"].split("<")[0].strip(), "Jürgen Müller")
    check("quoted-printable subject", messages["03-quoted.eml"]["subject"].strip(), "Café menu for Friday")
    check("attachments", messages["04-attachment.eml"]["attachment_names"],
          ["lake-at-dawn.jpg", "itinerary-2027.pdf"])
    check("high priority", messages["05-priority.eml"]["priority"], 1)
    check("low priority", messages["06-spammer.eml"]["priority"], 5)
    check("no raw encoded words in any subject",
          [n for n, m in messages.items() if "=?" in m["subject"]], [])

    with tempfile.TemporaryDirectory(prefix="kivo-demo-") as folder:
        for name in ("power.dat", "spammers.dat", "friends.dat"):
            shutil.copy(os.path.join(demo, name), folder)
        marks = {}
        for row in diag("classify", folder, *files):
            marks[os.path.basename(row["file"])] = [k for k in ("deleted", "spammer", "uncertain", "friendly") if row[k]]
    check("friend", marks.get("04-attachment.eml"), ["friendly"])
    check("spammer", marks.get("06-spammer.eml"), ["deleted", "spammer"])
    check("power filter", marks.get("07-invoice.eml"), ["uncertain"])
    check("the rest unmarked", sorted(n for n, m in marks.items() if m),
          ["04-attachment.eml", "06-spammer.eml", "07-invoice.eml"])

    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

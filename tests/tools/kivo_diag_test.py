#!/usr/bin/env python3
"""Runs `kivo-diag message` on a sample message and checks its JSON.

    kivo_diag_test.py [--wine WINE_RUN BUILD_DIR] KIVO_DIAG SAMPLE
With --wine the tool is a Windows exe, run through the Wine wrapper; the
native-only options (--codepage, --decimal) are then expected to be refused.
"""
import json
import subprocess
import sys

KEYS = ["from", "subject", "date", "to", "cc", "bcc", "message_id", "size", "size_text", "priority", "key",
        "header_text", "body_text", "attachment_names", "has_attachment"]


def program_crc(data: bytes) -> int:
    """The program's CRC-32: reflected 0xEDB88320, start 0, no final inversion."""
    crc = 0
    for b in data:
        crc ^= b
        for _ in range(8):
            crc = (crc >> 1) ^ 0xEDB88320 if crc & 1 else crc >> 1
    return crc


def main(argv):
    prefix = []
    if argv[0] == "--wine":
        prefix = ["bash", argv[1], argv[2]]
        argv = argv[3:]
    tool, sample = argv
    windows = bool(prefix)
    sample_arg = "Z:" + sample.replace("/", "\\") if windows else sample
    failures = []

    def run(*args):
        proc = subprocess.run(prefix + [tool, "message", sample_arg, *args], stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, stdin=subprocess.DEVNULL, timeout=240)
        return proc.returncode, proc.stdout.decode("ascii"), proc.stderr.decode("latin-1")

    def check(what, got, want):
        if got != want:
            failures.append(f"{what}: got {got!r}, want {want!r}")

    def read(*args):
        rc, out, err = run(*args)
        check(f"exit code of {args}", rc, 0)
        if rc != 0:
            print(err, file=sys.stderr)
            return None
        doc = json.loads(out)
        check("keys", list(doc), KEYS)
        def as_bytes(v):
            if isinstance(v, str):
                return v.encode("latin-1")
            if isinstance(v, list):
                return [as_bytes(x) for x in v]
            return v
        return {k: as_bytes(v) for k, v in doc.items()}

    doc = read()
    if doc:
        check("from", doc["from"], b" \xcf\xf0\xe8\xe2\xe5\xf2 <ivan@example.ru>")
        check("subject", doc["subject"], b' Report for caf\xe9 "quoted"')
        check("to", doc["to"], b" Anna <anna@example.com>")
        check("cc", doc["cc"], b" one@example.com")
        check("bcc", doc["bcc"], b"")
        check("date", doc["date"], b" Tue, 3 Mar 2026 10:00:00 +0300")
        check("message_id", doc["message_id"], b" <20260303.1@example.ru>")
        check("size", doc["size"], 588)
        check("size_text", doc["size_text"], b"588 Bytes")
        check("priority", doc["priority"], 2)
        check("key", doc["key"], program_crc(b" <20260303.1@example.ru>"))
        header = doc["header_text"].split(b"\r\n")
        check("header lines", len(header), 12)  # 11 logical lines and the end
        check("folded subject", header[5], b'Subject: Report for =?iso-8859-1?Q?caf=E9?= "quoted"')
        check("body starts", doc["body_text"][:19], b"--XYZ\r\nContent-Type")
        check("body ends", doc["body_text"][-9:], b"--XYZ--\r\n")
        check("attachment_names", doc["attachment_names"], [b"report.pdf"])
        check("has_attachment", doc["has_attachment"], True)

    # TOP with 5 body lines stops before the attachment's part header.
    doc = read("--lines", "5", "--size", "2048")
    if doc:
        check("cut body", doc["body_text"].count(b"\r\n"), 5)
        check("cut has_attachment", doc["has_attachment"], False)
        check("cut size_text", doc["size_text"], b"2.00 KB")

    if windows:
        rc, _, _ = run("--decimal", ",")
        check("--decimal on Windows", rc, 2)
    else:
        doc = read("--size", "1536", "--decimal", ",", "--codepage", "1251")
        if doc:
            check("decimal comma", doc["size_text"], b"1,50 KB")

    check("unknown option", run("--bogus")[0], 2)
    rc, _, _ = subprocess.run(prefix + [tool, "message", sample_arg + ".missing"], capture_output=True,
                              stdin=subprocess.DEVNULL, timeout=240).returncode, None, None
    check("missing file", rc, 1)

    for f in failures:
        print("FAIL", f)
    print("kivo-diag message:", "FAILED" if failures else "passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

#!/usr/bin/env python3
"""Runs `kivo-diag accounts` on a kivo.dat beside a copy of the tool.

    kivo_diag_accounts_test.py [--wine WINE_RUN BUILD_DIR] KIVO_DIAG
With --wine the tool is a Windows exe, run through the Wine wrapper.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile


def main(argv):
    prefix = []
    if argv[0] == "--wine":
        prefix = ["bash", argv[1], argv[2]]
        argv = argv[3:]
    failures = []

    def check(what, got, want):
        if got != want:
            failures.append(f"{what}: got {got!r}, want {want!r}")

    with tempfile.TemporaryDirectory(prefix="kivo-accounts-") as folder:
        # kivo.dat is the file beside the program, so the tool runs from here.
        tool = os.path.join(folder, os.path.basename(argv[0]))
        shutil.copy(argv[0], tool)
        data = os.path.join(folder, "kivo.dat")

        def run(*args):
            proc = subprocess.run(prefix + [tool, "accounts", *args], stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE, stdin=subprocess.DEVNULL, timeout=240)
            rows, text, at = [], proc.stdout.decode("ascii"), 0
            decoder = json.JSONDecoder()
            while text[at:].strip():
                row, at = decoder.raw_decode(text, at + len(text[at:]) - len(text[at:].lstrip()))
                rows.append(row)
            return proc.returncode, rows, proc.stderr.decode("latin-1")

        def names(rows):
            return [(r["name"], r["host"], r["port"], r["user"]) for r in rows]

        # Two accounts, then the first again under another case: updated, no twin.
        rc, rows, err = run("--add", "Home", "--host", "127.0.0.1", "--user", "me", "--password", "pw",
                            "--port", "1110", "--interval", "60")
        check("first add", (rc, names(rows)), (0, [("Home", "127.0.0.1", 1110, "me")]))
        rc, rows, err = run("--add", "Work", "--host", "mail.example.com", "--user", "j.doe", "--no-apop")
        rc, rows, err = run("--add", "HOME", "--host", "127.0.0.1", "--user", "me", "--port", "2110")
        check("update keeps order and count", (rc, names(rows)),
              (0, [("Home", "127.0.0.1", 2110, "me"), ("Work", "mail.example.com", 110, "j.doe")]))

        # --keep-existing leaves a file with accounts alone.
        before = open(data, "rb").read()
        rc, rows, err = run("--add", "Demo", "--host", "127.0.0.1", "--user", "demo", "--keep-existing")
        check("keep existing", (rc, len(rows), open(data, "rb").read() == before), (0, 2, True))

        # Out-of-range numbers are refused before anything is written.
        rc, rows, err = run("--add", "Bad", "--host", "h", "--user", "u", "--port", "70000")
        check("port out of range", (rc, open(data, "rb").read() == before), (2, True))

        # A broken record: the accounts before it are listed, the file is never rewritten.
        broken = before[:-3]
        open(data, "wb").write(broken)
        rc, rows, err = run("--add", "New", "--host", "h", "--user", "u")
        check("broken file kept", (rc, open(data, "rb").read() == broken), (1, True))
        check("broken file reported", "kivo.dat" in err, True)

    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

#!/usr/bin/env python3
"""Runs `kivo-diag check` against the fake POP3 server and checks its JSON.

    kivo_diag_check_test.py [--wine WINE_RUN BUILD_DIR] KIVO_DIAG FAKE_POP3
The server is started here on a free loopback port with a mailbox of three
messages, the second of which the server refuses to TOP.
"""
import json
import os
import subprocess
import sys
import tempfile
import time

KEYS = ["number", "from", "subject", "date", "to", "cc", "bcc", "message_id", "size", "size_text", "priority",
        "key", "header_text", "body_text", "attachment_names", "has_attachment"]


def main(argv):
    prefix = []
    if argv[0] == "--wine":
        prefix = ["bash", argv[1], argv[2]]
        argv = argv[3:]
    tool, server = argv
    failures = []

    def check(what, got, want):
        if got != want:
            failures.append(f"{what}: got {got!r}, want {want!r}")

    with tempfile.TemporaryDirectory() as tmp:
        maildir = os.path.join(tmp, "mail")
        os.mkdir(maildir)
        for n in (1, 2, 3):
            with open(os.path.join(maildir, f"{n}.eml"), "wb") as f:
                f.write(b"From: Sender %d <s%d@example.com>\nSubject: message %d\n\nline one\n.dotted\n" % (n, n, n))
        port_file = os.path.join(tmp, "port")
        proc = subprocess.Popen([server, "serve", "--maildir", maildir, "--user", "ann:s3cret pass",
                                 "--port-file", port_file, "--fault", "TOP 2:err"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            for _ in range(100):
                if os.path.exists(port_file):
                    break
                time.sleep(0.05)
            port = open(port_file).read().strip()

            def run(password_env, stdin_text, *args):
                env = dict(os.environ)
                env.pop("KIVO_PASSWORD", None)
                if password_env is not None:
                    env["KIVO_PASSWORD"] = password_env
                p = subprocess.run(prefix + [tool, "check", "127.0.0.1", port, "ann", *args], env=env,
                                   input=stdin_text.encode(), stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                   timeout=240)
                return p.returncode, p.stdout.decode("ascii"), p.stderr.decode("latin-1")

            rc, out, err = run("s3cret pass", "", "--lines", "1")
            check("exit code", rc, 0)
            doc = json.loads(out)
            check("top-level keys", list(doc), ["ok", "last_error", "pipelined", "session_us", "messages"])
            check("the session's time is given", 0 < doc["session_us"] < 240 * 10**6, True)
            check("ok", doc["ok"], True)
            check("pipelined: the server offers PIPELINING", doc["pipelined"], True)
            check("numbers", [m["number"] for m in doc["messages"]], [1, 3])
            for m in doc["messages"]:
                check("message keys", list(m), KEYS)
            check("subject", doc["messages"][1]["subject"], " message 3")
            check("one preview line", doc["messages"][0]["body_text"], "line one\r\n")
            check("log on stderr", "Answer from server 127.0.0.1" in err, True)
            check("password kept out of the log", "s3cret" in err, False)

            rc, out, err = run(None, "s3cret pass\n", "--no-apop", "--no-pipelining")
            check("exit code, password from standard input", rc, 0)
            check("pipelining switched off", json.loads(out)["pipelined"], False)
            check("no CAPA when switched off", "CAPA" in err, False)
            check("USER/PASS session", "Request for server 127.0.0.1: PASS" in err, True)
            check("all previews", json.loads(out)["messages"][1]["body_text"], "line one\r\n.dotted\r\n")

            rc, out, err = run("wrong", "")
            check("exit code, wrong password", rc, 1)
            doc = json.loads(out)
            check("failed", doc["ok"], False)
            check("server text", doc["last_error"], "-ERR [AUTH] Authentication failed.")
            check("no messages", doc["messages"], [])

            rc, out, err = run("x", "", "--lines")
            check("exit code, bad usage", rc, 2)
        finally:
            proc.kill()
            proc.wait()

    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

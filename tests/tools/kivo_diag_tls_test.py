#!/usr/bin/env python3
"""`kivo-diag check --tls/--stls` against a TLS POP3 server made here.

    kivo_diag_tls_test.py [--wine WINE_RUN BUILD_DIR] KIVO_DIAG
Natively the test CA is trusted through SSL_CERT_FILE; under Wine it is put
into the throw-away prefix's machine root store (registry) before the tool
runs. Every case also checks that the password never crossed the wire in
clear.
"""
import json
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from tls_pop3_server import TlsPop3Server, make_certs  # noqa: E402

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "integration"))
from wine_tls import trusting_command  # noqa: E402

PASSWORD = "s3cret pass"


def main(argv):
    wine = None
    if argv[0] == "--wine":
        wine = argv[1:3]
        argv = argv[3:]
    tool = argv[0]
    failures = []

    def check(what, got, want):
        if got != want:
            failures.append(f"{what}: got {got!r}, want {want!r}")

    with tempfile.TemporaryDirectory() as tmp:
        certs = make_certs(tmp)
        env = dict(os.environ, KIVO_PASSWORD=PASSWORD, SSL_CERT_FILE=os.path.join(tmp, "ca.pem"))
        if wine:
            # The CA into the prefix's root store; a failed import ends the run
            # there, instead of passing for a certificate refused as not trusted.
            prefix = trusting_command(wine[0], wine[1], os.path.join(tmp, "ca.pem"))
        else:
            prefix = []

        def run(cert, mode, *args, timeout="10"):
            server = TlsPop3Server(certs[cert][0], certs[cert][1], mode, password=PASSWORD)
            if "--stls" not in args:
                args = ("--stls",) + args if mode.startswith("stls") else ("--tls",) + args
            try:
                started = time.monotonic()
                p = subprocess.run(prefix + [tool, "check", "localhost", str(server.port), "ann", "--timeout",
                                             timeout, *args], env=env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=240)
                elapsed = time.monotonic() - started
            finally:
                server.close()
            try:
                doc = json.loads(p.stdout.decode("utf-8"))
            except ValueError:
                failures.append(f"{cert}/{mode}: no JSON: {p.stdout!r} {p.stderr[-2000:]!r}")
                doc = {"ok": None, "last_error": None, "messages": [], "tls": {}}
            if PASSWORD.encode() in bytes(server.wire):
                failures.append(f"{cert}/{mode}: the password crossed the wire in clear")
            return p.returncode, doc, server, elapsed

        def expect_ok(what, cert, mode, *args):
            rc, doc, server, _ = run(cert, mode, *args)
            check(f"{what}: exit code", rc, 0)
            check(f"{what}: last_error", doc["last_error"], "")
            check(f"{what}: subjects", [m.get("subject", "").strip() for m in doc["messages"]], ["over TLS"])
            tls = doc.get("tls", {})
            check(f"{what}: protocol", tls.get("protocol", "")[:6], "TLS 1.")
            check(f"{what}: fingerprint", tls.get("sha256"), certs[cert][2])
            if "localhost" not in tls.get("subject", ""):
                failures.append(f"{what}: subject {tls.get('subject')!r} does not name localhost")
            if not tls.get("cipher"):
                failures.append(f"{what}: no cipher reported")
            return server

        def expect_error(what, cert, mode, text, *args, timeout="10"):
            rc, doc, server, elapsed = run(cert, mode, *args, timeout=timeout)
            check(f"{what}: exit code", rc, 1)
            check(f"{what}: last_error", doc["last_error"], text)
            # Nothing of the login may leave once the connection is refused.
            sent = [c.split(" ")[0].upper() for c in server.commands]
            if "USER" in sent or "PASS" in sent or "APOP" in sent:
                failures.append(f"{what}: login sent anyway: {server.commands!r}")
            return server, elapsed

        # Sessions that must succeed.
        expect_ok("implicit TLS", "good", "tls", "--no-apop")
        expect_ok("implicit TLS, APOP tried first", "good", "tls")
        server = expect_ok("STLS", "good", "stls", "--no-apop")
        check("STLS: commands in clear", server.commands[:2], ["CAPA", "STLS"])
        expect_ok("trusted fingerprint", "unknown", "tls", "--no-apop", "--trust-fingerprint",
                  ":".join(certs["unknown"][2][i:i + 2].upper() for i in range(0, 64, 2)))
        # About 4 s of handshake in pieces 0.3 s apart, under a 2 s time-out.
        expect_ok("slow handshake re-arms the deadline", "good", "slow", "--no-apop", "--timeout", "2")

        # Certificates refused, each with its own words.
        expect_error("wrong host", "wronghost", "tls", "The server's certificate is not for localhost.",
                     "--no-apop")
        expect_error("expired", "expired", "tls", "The server's certificate for localhost has expired.",
                     "--no-apop")
        expect_error("unknown CA", "unknown", "tls", "The server's certificate for localhost is not trusted.")
        expect_error("another certificate's fingerprint", "unknown", "tls",
                     "The server's certificate for localhost is not trusted.", "--no-apop",
                     "--trust-fingerprint", certs["good"][2])

        # Faults of the server or of a man in the middle.
        expect_error("handshake dropped", "good", "drop",
                     "The mail server closed the connection while the secure connection was being set up.",
                     "--no-apop")
        _, elapsed = expect_error("handshake stalled", "good", "stall",
                                  "No answer from the mail server for 1 seconds.", "--no-apop", timeout="1")
        if not wine and elapsed > 3.5:
            failures.append(f"handshake stalled: took {elapsed:.1f} s, the stop did not end the wait")
        server, _ = expect_error("STLS stripped from CAPA", "good", "stls-missing",
                                 "The mail server does not offer STLS; nothing was sent in clear.", "--stls")
        check("STLS stripped: commands", server.commands, ["CAPA"])
        expect_error("STLS refused", "good", "stls-refuse",
                     "The mail server refused STLS; nothing was sent in clear.", "--stls", "--no-apop")
        expect_error("clear text after STLS +OK", "good", "stls-inject",
                     "The secure connection to the mail server could not be set up.", "--stls", "--no-apop")

    for f in failures:
        print("FAIL:", f)
    print(f"kivo_diag_tls: {'0 failed' if not failures else str(len(failures)) + ' failed'}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

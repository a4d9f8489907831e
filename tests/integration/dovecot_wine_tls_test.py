#!/usr/bin/env python3
"""kivo-diag.exe check --tls/--stls under Wine against the tests' Dovecot.

    dovecot_wine_tls_test.py WINE_RUN BUILD_DIR KIVO_DIAG_EXE DOVECOT_ENV
Schannel's verdict is crypt32's, so the throw-away prefix gets the tests' CA
in its machine root store (registry) before the tool runs; without it the
same certificate must be refused as not trusted and be accepted by its
fingerprint. Each session runs through a relay that records every byte the
client sends, so the password is seen never to cross the wire in clear.
Exits 77 (a skip) when the fixture found no Dovecot.
"""
import glob
import json
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wine_tls import Relay, certificate_sha256, read_env, skip_reason, trusting_command  # noqa: E402

SKIP = 77
USER, PASSWORD = "kivo", "kivo-secret"


def main(argv):
    wine_run, build, tool, env_file = argv[:4]
    env = read_env(env_file)
    reason = skip_reason(env, env_file)
    if reason:
        print("SKIP: no Dovecot for this run: " + reason)
        return SKIP
    state = os.path.dirname(env["ca"])
    good_sha256 = certificate_sha256(os.path.join(state, "good.pem"))
    failures = []
    tag = "wine-tls-%d-%d" % (os.getpid(), int(time.time()))
    subject = "over TLS under Wine " + tag
    name = os.path.join(env["maildir"], "new", tag)
    with open(name, "wb") as f:
        f.write(("From: Tester <tester@example.com>\r\nTo: kivo@example.com\r\nSubject: %s\r\n"
                 "Message-ID: <%s@example.com>\r\n\r\nfirst line\r\n" % (subject, tag)).encode())

    try:
        trusting = trusting_command(wine_run, build, env["ca"])
        plain = ["bash", wine_run, build]

        def run(what, prefix, port, *args):
            relay = Relay(int(port))
            try:
                p = subprocess.run(prefix + [tool, "check", "localhost", str(relay.port), USER, "--timeout", "20",
                                             *args], env=dict(os.environ, KIVO_PASSWORD=PASSWORD),
                                   stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                   timeout=240)
            finally:
                relay.close()
            try:
                doc = json.loads(p.stdout.decode("utf-8"))
            except ValueError:
                failures.append(f"{what}: no JSON: {p.stdout!r} {p.stderr[-2000:]!r}")
                doc = {"ok": None, "last_error": None, "messages": [], "tls": {}}
            if PASSWORD.encode() in relay.recorded():
                failures.append(f"{what}: the password crossed the wire in clear")
            return p.returncode, doc, relay.recorded()

        def expect_ok(what, prefix, port, *args):
            rc, doc, sent = run(what, prefix, port, *args)
            tls = doc.get("tls", {})
            for field, got, want in [("exit code", rc, 0), ("last_error", doc["last_error"], ""),
                                     ("protocol", tls.get("protocol", "")[:6], "TLS 1."),
                                     ("fingerprint", tls.get("sha256"), good_sha256)]:
                if got != want:
                    failures.append(f"{what}: {field}: got {got!r}, want {want!r}")
            if subject not in [m.get("subject", "").strip() for m in doc["messages"]]:
                failures.append(f"{what}: the message is not among {doc['messages']!r}")
            return sent

        expect_ok("implicit TLS, APOP tried first", trusting, env["tls_port"], "--tls")
        sent = expect_ok("STLS, USER/PASS", trusting, env["port"], "--stls", "--no-apop")
        # In clear only the upgrade: CAPA and STLS, then the handshake.
        if not sent.startswith(b"CAPA\r\nSTLS\r\n\x16"):
            failures.append(f"STLS: the clear part was {sent[:40]!r}")

        # A prefix without the CA: refused, then accepted by its fingerprint.
        rc, doc, _ = run("untrusted", plain, env["tls_port"], "--tls")
        want = "The server's certificate for localhost is not trusted."
        if rc != 1 or doc["last_error"] != want:
            failures.append(f"untrusted: got {rc} {doc['last_error']!r}, want 1 {want!r}")
        if doc.get("tls", {}).get("sha256") != good_sha256:
            failures.append(f"untrusted: the fingerprint seen was {doc.get('tls')!r}")
        expect_ok("trusted by fingerprint", plain, env["port"], "--stls", "--trust-fingerprint", good_sha256)
    finally:
        # The other Dovecot tests count the mailbox's messages exactly.
        for leftover in glob.glob(os.path.join(env["maildir"], "*", tag + "*")):
            os.remove(leftover)

    for failure in failures:
        print("FAIL " + failure)
    print("dovecot_wine_tls: %d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

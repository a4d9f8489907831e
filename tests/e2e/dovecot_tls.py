#!/usr/bin/env python3
"""kivo.exe checks the tests' Dovecot over TLS and STLS, under Wine on Xvfb.

    dovecot_tls.py WINE_RUN BUILD_DIR SCRIPT KIVO_EXE SHOTS_DIR SEND_EXE
                   KIVO_DIAG_EXE READ_LIST_EXE DOVECOT_ENV
The throw-away prefix trusts the tests' CA (its machine root store, as a
user's Windows trusts its roots). Three accounts: "TLS" on the TLS port,
"STLS" on the plain port, both through relays that keep what kivo.exe sent,
and "Not TLS", which asks for TLS from the plain port and must fail. The
script (tls.sh) reads the rows as a user sees them. The password must never
be in what crossed the wire. Exits 77 (a skip) without Dovecot.
"""
import glob
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
from dovecot_env import read_env  # noqa: E402
from loopback_relay import Relay  # noqa: E402
from wine_root_store import root_store_reg  # noqa: E402

SKIP = 77
PASSWORD = "kivo-secret"


def mailbox_count(maildir):
    return sum(len(os.listdir(os.path.join(maildir, part))) for part in ("new", "cur")
               if os.path.isdir(os.path.join(maildir, part)))


def main(argv):
    wine_run, build, script, kivo, shots, send, diag, read_list, env_file = argv[:9]
    env = read_env(env_file)
    if "absent" in env or "tls_port" not in env:
        print("SKIP: no Dovecot for this run: " + env.get("absent", "no fixture file " + env_file))
        return SKIP
    tag = "kivo-tls-%d-%d" % (os.getpid(), int(time.time()))
    subject = "Checked by Kivo over TLS " + tag
    with open(os.path.join(env["maildir"], "new", tag), "wb") as f:
        f.write(("From: Tester <tester@example.com>\r\nTo: kivo@example.com\r\nSubject: %s\r\n"
                 "Message-ID: <%s@example.com>\r\n\r\nfirst line\r\n" % (subject, tag)).encode())
    failures = []
    tls_relay = Relay(int(env["tls_port"]))
    stls_relay = Relay(int(env["port"]))
    try:
        with tempfile.TemporaryDirectory() as tmp:
            reg = os.path.join(tmp, "ca.reg")
            root_store_reg(env["ca"], reg)
            p = subprocess.run(["bash", wine_run, build, "--display", "--script", script, kivo, shots, send, diag,
                                read_list, reg, str(tls_relay.port), str(stls_relay.port), env["port"],
                                str(mailbox_count(env["maildir"])), subject, PASSWORD],
                               stdin=subprocess.DEVNULL, timeout=240)
            if p.returncode != 0:
                failures.append("the script ended with %d" % p.returncode)
    finally:
        tls_relay.close()
        stls_relay.close()
        # The other Dovecot tests count the mailbox's messages exactly.
        for leftover in glob.glob(os.path.join(env["maildir"], "*", tag + "*")):
            os.remove(leftover)
    for name, relay in (("TLS", tls_relay), ("STLS", stls_relay)):
        sent = bytes(relay.sent)
        if not sent:
            failures.append(name + ": kivo.exe sent nothing through the relay")
        if PASSWORD.encode() in sent:
            failures.append(name + ": the password crossed the wire in clear")
    # In clear, STLS shows only the upgrade: CAPA and STLS, then the handshake.
    if not bytes(stls_relay.sent).startswith(b"CAPA\r\nSTLS\r\n\x16"):
        failures.append("STLS: the clear part was %r" % bytes(stls_relay.sent)[:40])
    if bytes(tls_relay.sent)[:1] != b"\x16":
        failures.append("TLS: the first byte was not a handshake: %r" % bytes(tls_relay.sent)[:16])
    for failure in failures:
        print("FAIL " + failure)
    print("e2e_dovecot_tls: %d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

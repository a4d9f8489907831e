#!/usr/bin/env python3
"""kivo.exe checks the tests' Dovecot over TLS and STLS, under Wine on Xvfb.

    dovecot_tls.py WINE_RUN BUILD_DIR DOVECOT_ENV KIVO_EXE KIVO_DIAG_EXE
                   READ_LIST_EXE SEND_COMMAND_EXE SHOTS_DIR
In a throw-away prefix that trusts the tests' CA, kivo.exe gets three
accounts on the fixture, each through a relay that keeps what the client
sent: "TLS" (implicit TLS) and "STLS" (the plain port), both at localhost,
and "WrongHost" (implicit TLS at 127.0.0.2, a name the certificate does not
carry). The first two must read the mailbox and sleep, with its subjects in
the messages list; the third must fail and say why in View Errors. The
password must never cross the wire in clear, and Exit must end the program
with 0. Exits 77 (a skip) when the fixture found no Dovecot.
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "integration"))
from wine_tls import Relay, read_env, skip_reason, trust_ca  # noqa: E402

SKIP = 77
USER, PASSWORD = "kivo", "kivo-secret"
TITLE = "Kivo Email Checker"
ACCOUNTS_LIST, MESSAGES_LIST = "1012", "1051"
CMD_EXIT, CMD_VIEW_ERRORS = "40013", "40019"
MESSAGE_BOX_TEXT = "65535"  # the id of a message box's text
IDOK = "1"


class Failed(Exception):
    pass


def wait_for(seconds, check, what):
    """Polls `check` until it returns a true value; the value, or Failed with `what()`."""
    end = time.monotonic() + seconds
    while True:
        got = check()
        if got:
            return got
        if time.monotonic() >= end:
            raise Failed(what())
        time.sleep(0.2)


def wine(*args, timeout=60):
    p = subprocess.run(["wine", *args], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                       stderr=subprocess.DEVNULL, timeout=timeout)
    return p.returncode, p.stdout.decode("utf-8", "replace").replace("\r", "")


def window_shown(title):
    p = subprocess.run(["xdotool", "search", "--name", "^%s$" % title], stdin=subprocess.DEVNULL,
                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    return p.returncode == 0 and p.stdout.strip() != b""


def inside(env_file, kivo_exe, kivo_diag, read_list, send_command, shots):
    env = read_env(env_file)
    trust_ca(env["ca"])
    tag = "e2e-tls-%d-%d" % (os.getpid(), int(time.time()))
    # Short subjects, so the screenshot shows them whole.
    subjects = ["Secure hello %d (%d)" % (i, os.getpid()) for i in (1, 2)]
    for i, subject in enumerate(subjects):
        with open(os.path.join(env["maildir"], "new", "%s.%d" % (tag, i)), "wb") as f:
            f.write(("From: Tester <tester@example.com>\r\nTo: kivo@example.com\r\nSubject: %s\r\n"
                     "Date: Mon, 7 Dec 2026 10:0%d:00 +0000\r\nMessage-ID: <%s.%d@example.com>\r\n\r\n"
                     "first line\r\n" % (subject, i, tag, i)).encode())
    # Whatever else the mailbox holds counts too: the rows read it all.
    total = len(glob.glob(os.path.join(env["maildir"], "new", "*")) +
                glob.glob(os.path.join(env["maildir"], "cur", "*")))
    work = tempfile.mkdtemp()
    relays = {}
    kivo = None
    try:
        relays = {"TLS": Relay(int(env["tls_port"])), "STLS": Relay(int(env["port"])),
                  "WrongHost": Relay(int(env["tls_port"]), address="127.0.0.2")}
        accounts = [("TLS", "localhost", 1), ("STLS", "localhost", 2), ("WrongHost", "127.0.0.2", 1)]
        app = os.path.join(work, "app")
        os.mkdir(app)
        shutil.copy(kivo_exe, os.path.join(app, "kivo.exe"))
        # kivo-diag writes kivo.dat beside itself: the program's folder.
        shutil.copy(kivo_diag, os.path.join(app, "kivo-diag.exe"))
        for name, host, security in accounts:
            # USER/PASS rather than APOP, so a session that stayed in clear
            # would show the password to the relay.
            rc, out = wine(os.path.join(app, "kivo-diag.exe"), "accounts", "--add", name, "--host", host,
                           "--port", str(relays[name].port), "--user", USER, "--password", PASSWORD, "--no-apop")
            if rc != 0:
                raise Failed("kivo-diag accounts --add %s: %d %s" % (name, rc, out))
            rc, out = wine("reg", "add", "HKCU\\Software\\Kivo, Inc.\\Kivo\\Accounts\\" + name, "/v", "Security",
                           "/t", "REG_DWORD", "/d", str(security), "/f")
            if rc != 0:
                raise Failed("reg add Security for %s: %s" % (name, out))
        # Shown at start, so there is something to look at.
        wine("reg", "add", "HKCU\\Software\\Kivo, Inc.\\Kivo\\Settings", "/v", "HideStart", "/t", "REG_DWORD",
             "/d", "0", "/f")

        kivo = subprocess.Popen(["wine", os.path.join(app, "kivo.exe")], stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(60, lambda: window_shown(TITLE), lambda: "no window titled %r within 60 s" % TITLE)

        def rows(control, kind=None, title=TITLE):
            rc, out = wine(read_list, title, control, *([kind] if kind else []))
            return out.splitlines() if rc == 0 else None

        # Account, Server, User, Total msgs, New messages, State
        want_rows = [["TLS", "localhost", USER, str(total), "sleeping"],
                     ["STLS", "localhost", USER, str(total), "sleeping"],
                     ["WrongHost", "127.0.0.2", USER, "0", "failed"]]
        seen = {}

        def accounts_done():
            seen["rows"] = rows(ACCOUNTS_LIST) or []
            got = [r.split("\t") for r in seen["rows"]]
            return [r[:4] + r[5:6] for r in got] == want_rows

        wait_for(90, accounts_done, lambda: "the account rows read %r, want %r" % (seen["rows"], want_rows))

        # The first row is selected: TLS's messages.
        def messages_of_tls():
            seen["messages"] = rows(MESSAGES_LIST) or []
            listed = [r.split("\t")[1].strip() for r in seen["messages"] if "\t" in r]
            return len(listed) == total and all(s in listed for s in subjects)

        wait_for(30, messages_of_tls, lambda: "the messages list reads %r, want %r among %d" %
                 (seen["messages"], subjects, total))
        os.makedirs(shots, exist_ok=True)
        subprocess.run(["import", "-window", "root", os.path.join(shots, "dovecot_tls.png")], check=True)

        # Down twice in the accounts list (it has the focus): WrongHost,
        # whose messages list is empty, and its error in View Errors.
        subprocess.run(["xdotool", "key", "Down", "Down"], check=True)
        wait_for(20, lambda: rows(MESSAGES_LIST) == [], lambda: "WrongHost was not selected: %r" %
                 rows(MESSAGES_LIST))
        if wine(send_command, TITLE, CMD_VIEW_ERRORS)[0] != 0:
            raise Failed("could not send View Errors")
        want_error = "The server's certificate is not for 127.0.0.2."
        wait_for(20, lambda: rows(MESSAGE_BOX_TEXT, "static", "View Errors") == [want_error],
                 lambda: "View Errors reads %r, want %r" % (rows(MESSAGE_BOX_TEXT, "static", "View Errors"),
                                                             want_error))
        subprocess.run(["import", "-window", "root", os.path.join(shots, "dovecot_tls_error.png")], check=True)
        wine(send_command, "View Errors", IDOK)
        wait_for(20, lambda: not window_shown("View Errors"), lambda: "View Errors did not close")

        if wine(send_command, TITLE, CMD_EXIT)[0] != 0:
            raise Failed("could not send Exit")
        wait_for(30, lambda: kivo.poll() is not None, lambda: "the program did not end within 30 s of Exit")
        if kivo.returncode != 0:
            raise Failed("the program ended with %d, expected 0" % kivo.returncode)

        for name, relay in relays.items():
            if PASSWORD.encode() in relay.recorded():
                raise Failed("%s: the password crossed the wire in clear" % name)
        # Implicit TLS starts with a handshake record; STLS says only CAPA
        # and STLS in clear before its handshake.
        for name, start in [("TLS", b"\x16"), ("WrongHost", b"\x16"), ("STLS", b"CAPA\r\nSTLS\r\n\x16")]:
            if not relays[name].recorded().startswith(start):
                raise Failed("%s: the client began with %r" % (name, relays[name].recorded()[:40]))
    finally:
        if kivo and kivo.poll() is None:
            kivo.kill()
        for relay in relays.values():
            relay.close()
        shutil.rmtree(work, ignore_errors=True)
        # The other Dovecot tests count the mailbox's messages exactly.
        for leftover in glob.glob(os.path.join(env["maildir"], "*", tag + "*")):
            os.remove(leftover)


def main(argv):
    if argv[:1] == ["--inside"]:
        try:
            inside(*argv[1:])
        except Failed as e:
            print("FAIL: %s" % e)
            return 1
        print("PASS")
        return 0
    wine_run, build, env_file = argv[:3]
    reason = skip_reason(read_env(env_file), env_file)
    if reason:
        print("SKIP: no Dovecot for this run: " + reason)
        return SKIP
    start = time.monotonic()
    rc = subprocess.run(["bash", wine_run, build, "--display", "--script", sys.executable, os.path.abspath(__file__),
                         "--inside", env_file, *argv[3:]], stdin=subprocess.DEVNULL).returncode
    print("e2e_dovecot_tls: exit %d in %.0f s" % (rc, time.monotonic() - start))
    return rc


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

#!/usr/bin/env python3
"""Times full checks of one mailbox (2000 messages by default) over loopback:
Kivo's session (pop3_check_bench) next to the same LIST + TOP n 99 sequence
done by Python's poplib, in one run, on

  - the fake POP3 server as it is (it advertises PIPELINING),
  - the fake server imitating a slow server (status line and text as separate
    small segments, Nagle on), with PIPELINING advertised and without, each
    with Kivo's immediate ACKs and with them switched off (as where the system
    refuses the control: Wine, some Windows versions),
  - the slow server with a mailbox of small messages, the window widened for
    small answers against a window of 64 commands,
  - with --wine-diag, kivo-diag.exe under Wine against the slow server with
    and without PIPELINING (the product's own code path on Windows),
  - the tests' private Dovecot, when it can be started.

    pop3_check_compare.py FAKE_POP3 POP3_CHECK_BENCH [--messages N] [--rounds R]
                          [--dovecot DOVECOT_SH] [--wine-diag KIVO_DIAG_EXE --wine-build BUILD_DIR]
                          [--sweep] [--full]

What is timed: in pop3_check_bench and in poplib, from the connection (the
look-up of a dotted address and connect) to the answer of QUIT, inside a
process that is already running; Kivo also builds every Message record, poplib
only reads the answers. Kivo and poplib take turns round by round, so both see
the same machine state; the best round of each counts. kivo-diag under Wine is
timed from outside, Wine's start included, next to the same run against an
empty mailbox (the start, login and QUIT alone), and by its own "session_us"
(the look-up to QUIT's answer, as in pop3_check_bench).

The slow server without PIPELINING and without immediate ACKs waits one
delayed ACK per command (about 45 ms on Linux): that check takes about 90 s
for 2000 messages and runs once. --sweep times the pipelining windows on the
slow server; --full adds poplib on the slow server (minutes again).
"""
import argparse
import hashlib
import os
import poplib
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time


def message_text(n):
    body = "".join(f"Line {i} of the body of message {n}, long enough to look like text.\n" for i in range(150))
    return (f"From: Sender {n} <sender{n}@example.com>\nTo: bench@example.com\n"
            f"Subject: =?UTF-8?B?QmVuY2ggbWVzc2FnZQ==?= {n}\nDate: Sun, 6 Dec 2026 09:00:00 +0000\n"
            f"Message-ID: <{n}@bench.example.com>\nMIME-Version: 1.0\nContent-Type: text/plain\n\n{body}")


def make_small_mailbox(folder, count):
    for n in range(1, count + 1):
        with open(os.path.join(folder, f"{n:05d}.eml"), "w", newline="") as f:
            f.write(f"From: Sender {n} <sender{n}@example.com>\nSubject: Short note {n}\n"
                    f"Message-ID: <{n}@short.example.com>\n\nSee you at {n % 24}:00.\n")


def make_mailbox(folder, count, crlf=False):
    for n in range(1, count + 1):
        text = message_text(n)
        if crlf:
            text = text.replace("\n", "\r\n")
        with open(os.path.join(folder, f"{n:05d}.eml"), "w", newline="") as f:
            f.write(text)


def poplib_check(port, user, password):
    start = time.perf_counter()
    box = poplib.POP3("127.0.0.1", port)
    box.apop(user, password)
    _, listing, _ = box.list()
    count = 0
    for line in listing:
        box.top(int(line.split()[0]), 99)
        count += 1
    box.quit()
    return count, time.perf_counter() - start


def server_floor_check(port, user, password, count):
    """The server's own speed: APOP, then every TOP n 99 sent at once and the
    answers only counted, not parsed; no client can be faster than this."""
    start = time.perf_counter()
    with socket.create_connection(("127.0.0.1", port)) as s:
        s.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        greeting = b""
        while not greeting.endswith(b"\r\n"):
            greeting += s.recv(4096)
        stamp = re.search(rb"<[^>]*>", greeting).group(0)
        s.sendall(b"APOP %s %s\r\n" % (user.encode(), hashlib.md5(stamp + password.encode()).hexdigest().encode()))
        answer = b""
        while not answer.endswith(b"\r\n"):
            answer += s.recv(4096)
        if not answer.startswith(b"+OK"):
            raise RuntimeError(f"APOP refused: {answer!r}")
        s.sendall(b"".join(b"TOP %d 99\r\n" % n for n in range(1, count + 1)))
        ends, tail = 0, b""
        while ends < count:
            data = s.recv(1 << 20)
            if not data:
                raise RuntimeError("the server closed the connection")
            joined = tail + data
            ends += joined.count(b"\r\n.\r\n")
            tail = joined[-4:]
        s.sendall(b"QUIT\r\n")
        s.recv(4096)
    return time.perf_counter() - start


def poplib_round(label, port, user, password, r):
    count, seconds = poplib_check(port, user, password)
    print(f"poplib {label} round {r + 1}: {count} messages in {seconds:.3f} s = {count / seconds:.0f} messages/s",
          flush=True)
    return count, seconds


def poplib_best(label, port, user, password, rounds):
    best = None
    for r in range(rounds):
        count, seconds = poplib_round(label, port, user, password, r)
        best = seconds if best is None else min(best, seconds)
    print(f"poplib {label} best: {best:.3f} s for {count} messages (LIST + TOP n 99, no parsing)", flush=True)
    return best


def kivo_run(bench, label, port, user, password, rounds, *flags):
    out = subprocess.run([bench, str(port), user, password, str(rounds), "--label", label, *flags],
                         check=True, stdout=subprocess.PIPE, text=True).stdout
    return out, float(re.search(r"best: ([0-9.]+) s", out).group(1))


def kivo_best(bench, label, port, user, password, rounds, *flags):
    out, best = kivo_run(bench, label, port, user, password, rounds, *flags)
    sys.stdout.write(out)
    sys.stdout.flush()
    return best


def taking_turns(bench, kivo_runs, port, user, password, rounds):
    """One round of each Kivo variant and one of poplib, in turn, `rounds`
    times; prints every round and the best of each; returns the bests."""
    bests = {label: None for label, _ in kivo_runs}
    bests["poplib"] = None
    summary = {}
    count = 0
    for r in range(rounds):
        for label, flags in kivo_runs:
            out, seconds = kivo_run(bench, label, port, user, password, 1, *flags)
            lines = out.splitlines()
            print(lines[0].replace("round 1:", f"round {r + 1}:"), flush=True)
            summary[label] = lines[-1]
            bests[label] = seconds if bests[label] is None else min(bests[label], seconds)
        count, seconds = poplib_round(poplib_label(kivo_runs), port, user, password, r)
        bests["poplib"] = seconds if bests["poplib"] is None else min(bests["poplib"], seconds)
    for label, _ in kivo_runs:
        print(re.sub(r"best: [0-9.]+ s", f"best of {rounds}: {bests[label]:.3f} s", summary[label]), flush=True)
    print(f"poplib {poplib_label(kivo_runs)} best of {rounds}: {bests['poplib']:.3f} s for {count} messages "
          "(LIST + TOP n 99, no parsing)", flush=True)
    return bests


def poplib_label(kivo_runs):
    return kivo_runs[0][0]


class FakeServer:
    def __init__(self, server, folder, tmp, *options):
        self.port_file = os.path.join(tmp, f"port-{time.monotonic_ns()}")
        self.proc = subprocess.Popen([server, "serve", "--maildir", folder, "--user", "bench:secret",
                                      "--port-file", self.port_file, *options], stdout=subprocess.DEVNULL)
        for _ in range(200):
            if os.path.exists(self.port_file):
                break
            time.sleep(0.05)
        self.port = int(open(self.port_file).read())

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.proc.kill()
        self.proc.wait()


def ratio_line(what, fast, slow):
    print(f"=> {what}: {fast:.3f} s against {slow:.3f} s, {slow / fast:.1f} times faster", flush=True)


def run_dovecot(script, bench, messages, rounds):
    fixture = tempfile.mkdtemp(prefix="kivo-bench-dovecot.")
    started = subprocess.run(["bash", script, "start", fixture], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                             text=True)
    if started.returncode != 0:
        print(f"dovecot: not available ({started.stdout.strip().splitlines()[-1:]}); skipped", flush=True)
        shutil.rmtree(fixture, ignore_errors=True)
        return
    try:
        env = dict(line.split("=", 1) for line in open(os.path.join(fixture, "env")).read().split())
        port, maildir = int(env["port"]), env["maildir"]
        make_mailbox(os.path.join(maildir, "new"), messages, crlf=False)
        poplib_check(port, "kivo", "kivo-secret")  # Dovecot indexes the new mailbox once
        bests = taking_turns(bench, [("dovecot", []), ("dovecot-one-by-one", ["--no-pipelining"])], port, "kivo",
                             "kivo-secret", rounds)
        kivo, python = bests["dovecot"], bests["poplib"]
        floor = min(server_floor_check(port, "kivo", "kivo-secret", messages) for _ in range(rounds))
        print(f"dovecot's own speed (APOP, every TOP at once, answers counted, not parsed) best of {rounds}: "
              f"{floor:.3f} s", flush=True)
        print(f"=> dovecot: kivo {kivo:.3f} s, poplib {python:.3f} s: kivo takes {kivo / python:.2f} of poplib's time; "
              f"the server's own speed is {floor / python:.2f} of it", flush=True)
    finally:
        subprocess.run(["bash", script, "stop", fixture], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shutil.rmtree(fixture, ignore_errors=True)


def wine_diag_check(wine_run, build, diag, port, *flags):
    """kivo-diag.exe check under Wine in a prefix already started: the seconds
    from outside (Wine's start of the program included) and the session's own
    seconds as kivo-diag reports them. Its output goes to regular files, as a
    log file would: under Wine a write to /dev/null costs a server round trip,
    and the 17 MB of a 2000-message answer took twenty seconds that way."""
    script = ('out=$(mktemp); start=$(date +%s.%N); KIVO_PASSWORD=secret wine "$@" >"$out" 2>"$out.log"; rc=$?; '
              'end=$(date +%s.%N); us=$(grep -o \'"session_us": *[0-9]*\' "$out" | grep -o \'[0-9]*$\'); '
              'rm -f "$out" "$out.log"; echo "$rc $start $end ${us:-0}"')
    out = subprocess.run([wine_run, build, "--script", "bash", "-c", script, "-", diag, "check", "127.0.0.1",
                          str(port), "bench", *flags], check=True, stdout=subprocess.PIPE, text=True).stdout
    rc, start, end, us = out.split()[-4:]
    if rc != "0":
        raise RuntimeError(f"kivo-diag check failed ({rc})")
    return float(end) - float(start), int(us) / 1e6


def run_wine_diag(args, tmp, folder):
    wine_run = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "wine-run.sh")
    empty = os.path.join(tmp, "empty")
    os.makedirs(empty, exist_ok=True)
    times = {}
    sessions = {}
    for label, options, flags, rounds in (("empty mailbox", ["--slow"], [], args.rounds),
                                          ("slow+PIPELINING", ["--slow"], [], args.rounds),
                                          ("slow-without-PIPELINING", ["--slow", "--capa", "plain"], [], 1)):
        with FakeServer(args.server, empty if label == "empty mailbox" else folder, tmp, *options) as server:
            best = best_session = None
            for r in range(rounds):
                seconds, session = wine_diag_check(wine_run, args.wine_build, args.wine_diag, server.port, *flags)
                print(f"kivo-diag.exe under Wine, {label}, round {r + 1}: {seconds:.3f} s (Wine's start included), "
                      f"session {session:.3f} s", flush=True)
                best = seconds if best is None else min(best, seconds)
                best_session = session if best_session is None else min(best_session, session)
            times[label] = best
            sessions[label] = best_session
    base, piped, plain = times["empty mailbox"], times["slow+PIPELINING"], times["slow-without-PIPELINING"]
    print(f"kivo-diag.exe under Wine best: empty mailbox {base:.3f} s, slow+PIPELINING {piped:.3f} s, "
          f"slow-without-PIPELINING {plain:.3f} s", flush=True)
    ratio_line(f"Wine, slow server, {args.messages} messages, with PIPELINING against without "
               "(whole runs, Wine's start included)", piped, plain)
    ratio_line(f"Wine, slow server, {args.messages} messages, with PIPELINING against without "
               "(the sessions alone, as kivo-diag timed them)", sessions["slow+PIPELINING"],
               sessions["slow-without-PIPELINING"])


def main(argv):
    parser = argparse.ArgumentParser()
    parser.add_argument("server")
    parser.add_argument("bench")
    parser.add_argument("--messages", type=int, default=2000)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--dovecot")
    parser.add_argument("--wine-diag", help="kivo-diag.exe of the win64 build")
    parser.add_argument("--wine-build", help="the win64 build folder (its template Wine prefix)")
    parser.add_argument("--sweep", action="store_true")
    parser.add_argument("--full", action="store_true")
    args = parser.parse_args(argv)
    n, rounds = args.messages, args.rounds
    if args.wine_diag and not args.wine_build:
        parser.error("--wine-diag needs --wine-build")

    with tempfile.TemporaryDirectory() as tmp:
        folder = os.path.join(tmp, "mail")
        os.mkdir(folder)
        make_mailbox(folder, n)

        with FakeServer(args.server, folder, tmp) as fake:
            taking_turns(args.bench, [("fake", []), ("fake-one-by-one", ["--no-pipelining"])], fake.port, "bench",
                         "secret", rounds)

        with FakeServer(args.server, folder, tmp, "--slow") as slow:
            piped = kivo_best(args.bench, "slow+PIPELINING", slow.port, "bench", "secret", rounds)
            piped_delayed = kivo_best(args.bench, "slow+PIPELINING-no-quick-ack", slow.port, "bench", "secret",
                                      rounds, "--no-quick-ack")
            if args.sweep:
                for window in (1, 2, 4, 8, 16, 32, 64, 128, 256):
                    kivo_best(args.bench, f"slow+PIPELINING-window-{window}-no-quick-ack", slow.port, "bench",
                              "secret", 1, "--window", str(window), "--no-quick-ack")
                for window in (1, 8, 64, 256):
                    kivo_best(args.bench, f"slow+PIPELINING-window-{window}", slow.port, "bench", "secret", 1,
                              "--window", str(window))
            if args.full:
                poplib_best("slow+PIPELINING", slow.port, "bench", "secret", 1)

        with FakeServer(args.server, folder, tmp, "--slow", "--capa", "plain") as plain:
            quick = kivo_best(args.bench, "slow-without-PIPELINING", plain.port, "bench", "secret", rounds)
            delayed = kivo_best(args.bench, "slow-without-PIPELINING-no-quick-ack", plain.port, "bench", "secret",
                                1, "--no-quick-ack")
            if args.full:
                poplib_best("slow-without-PIPELINING", plain.port, "bench", "secret", 1)
        ratio_line(f"slow server, {n} messages, with PIPELINING against without, immediate ACKs on", piped, quick)
        ratio_line(f"slow server, {n} messages, with PIPELINING against without, immediate ACKs off", piped_delayed,
                   delayed)

        # Answers of about 150 bytes: 64 of them do not fill a loopback
        # segment, so a window of 64 commands waits for delayed ACKs.
        small = os.path.join(tmp, "small")
        os.mkdir(small)
        make_small_mailbox(small, n)
        with FakeServer(args.server, small, tmp, "--slow") as slow:
            widened = kivo_best(args.bench, "slow+PIPELINING-small-messages-no-quick-ack", slow.port, "bench",
                                "secret", rounds, "--no-quick-ack")
            commands = kivo_best(args.bench, "slow+PIPELINING-small-messages-64-commands-no-quick-ack", slow.port,
                                 "bench", "secret", rounds, "--no-quick-ack", "--window", "64")
            kivo_best(args.bench, "slow+PIPELINING-small-messages", slow.port, "bench", "secret", rounds)
        ratio_line(f"slow server, {n} small messages, immediate ACKs off: the window widened for small answers "
                   "against 64 commands", widened, commands)

        if args.wine_diag:
            run_wine_diag(args, tmp, folder)

    if args.dovecot:
        run_dovecot(args.dovecot, args.bench, n, rounds)


if __name__ == "__main__":
    main(sys.argv[1:])

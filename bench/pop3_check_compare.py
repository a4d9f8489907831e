#!/usr/bin/env python3
"""Times full checks of one mailbox (2000 messages by default) over loopback:
Kivo's session (pop3_check_bench) next to the same LIST + TOP n 99 sequence
done by Python's poplib, in one run, on

  - the fake POP3 server as it is (it advertises PIPELINING),
  - the fake server imitating a slow server (status line and text as separate
    small segments, Nagle on), with PIPELINING advertised and without,
  - the tests' private Dovecot, when it can be started.

    pop3_check_compare.py FAKE_POP3 POP3_CHECK_BENCH [--messages N] [--rounds R]
                          [--dovecot DOVECOT_SH] [--sweep] [--full]

--sweep times the pipelining windows on the slow server; --full adds the
checks that wait one delayed ACK per command (about 45 ms each on Linux), so
it takes minutes.
"""
import argparse
import os
import poplib
import re
import shutil
import subprocess
import sys
import tempfile
import time


def message_text(n):
    body = "".join(f"Line {i} of the body of message {n}, long enough to look like text.\n" for i in range(150))
    return (f"From: Sender {n} <sender{n}@example.com>\nTo: bench@example.com\n"
            f"Subject: =?UTF-8?B?QmVuY2ggbWVzc2FnZQ==?= {n}\nDate: Sun, 6 Dec 2026 09:00:00 +0000\n"
            f"Message-ID: <{n}@bench.example.com>\nMIME-Version: 1.0\nContent-Type: text/plain\n\n{body}")


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


def poplib_best(label, port, user, password, rounds):
    best = None
    for r in range(rounds):
        count, seconds = poplib_check(port, user, password)
        print(f"poplib {label} round {r + 1}: {count} messages in {seconds:.3f} s = {count / seconds:.0f} messages/s",
              flush=True)
        best = seconds if best is None else min(best, seconds)
    print(f"poplib {label} best: {best:.3f} s for {count} messages (LIST + TOP n 99, no parsing)", flush=True)
    return best


def kivo_best(bench, label, port, user, password, rounds, *flags):
    out = subprocess.run([bench, str(port), user, password, str(rounds), "--label", label, *flags],
                         check=True, stdout=subprocess.PIPE, text=True).stdout
    sys.stdout.write(out)
    sys.stdout.flush()
    return float(re.search(r"best: ([0-9.]+) s", out).group(1))


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
        kivo = kivo_best(bench, "dovecot", port, "kivo", "kivo-secret", rounds)
        kivo_best(bench, "dovecot-one-by-one", port, "kivo", "kivo-secret", rounds, "--no-pipelining")
        python = poplib_best("dovecot", port, "kivo", "kivo-secret", rounds)
        print(f"=> dovecot: kivo {kivo:.3f} s, poplib {python:.3f} s: kivo takes {kivo / python:.2f} of poplib's time",
              flush=True)
    finally:
        subprocess.run(["bash", script, "stop", fixture], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shutil.rmtree(fixture, ignore_errors=True)


def main(argv):
    parser = argparse.ArgumentParser()
    parser.add_argument("server")
    parser.add_argument("bench")
    parser.add_argument("--messages", type=int, default=2000)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--dovecot")
    parser.add_argument("--sweep", action="store_true")
    parser.add_argument("--full", action="store_true")
    args = parser.parse_args(argv)
    n, rounds = args.messages, args.rounds

    with tempfile.TemporaryDirectory() as tmp:
        folder = os.path.join(tmp, "mail")
        os.mkdir(folder)
        make_mailbox(folder, n)

        with FakeServer(args.server, folder, tmp) as fake:
            kivo_best(args.bench, "fake", fake.port, "bench", "secret", rounds)
            kivo_best(args.bench, "fake-one-by-one", fake.port, "bench", "secret", rounds, "--no-pipelining")
            poplib_best("fake", fake.port, "bench", "secret", rounds)

        with FakeServer(args.server, folder, tmp, "--slow") as slow:
            piped = kivo_best(args.bench, "slow+PIPELINING", slow.port, "bench", "secret", rounds)
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
            ratio_line(f"slow server, {n} messages, with PIPELINING against without (immediate ACKs on)", piped, quick)
            if args.full:
                delayed = kivo_best(args.bench, "slow-without-PIPELINING-no-quick-ack", plain.port, "bench",
                                    "secret", 1, "--no-quick-ack")
                ratio_line(f"slow server, {n} messages, with PIPELINING against one command at a time "
                           "without immediate ACKs (the session before)", piped, delayed)
                poplib_best("slow-without-PIPELINING", plain.port, "bench", "secret", 1)

    if args.dovecot:
        run_dovecot(args.dovecot, args.bench, n, rounds)


if __name__ == "__main__":
    main(sys.argv[1:])

#!/usr/bin/env python3
"""Times a full check of a 2000-message mailbox on the fake POP3 server over
loopback: Kivo's session (pop3_check_bench) against the same LIST + TOP n 99
sequence done by Python's poplib. Prints messages per second for both.

    pop3_check_compare.py FAKE_POP3 POP3_CHECK_BENCH [MESSAGES] [ROUNDS]
"""
import os
import poplib
import subprocess
import sys
import tempfile
import time


def make_mailbox(folder, count):
    for n in range(1, count + 1):
        body = "".join(f"Line {i} of the body of message {n}, long enough to look like text.\n" for i in range(150))
        with open(os.path.join(folder, f"{n:05d}.eml"), "w") as f:
            f.write(f"From: Sender {n} <sender{n}@example.com>\nTo: bench@example.com\n"
                    f"Subject: =?UTF-8?B?QmVuY2ggbWVzc2FnZQ==?= {n}\nDate: Sun, 6 Dec 2026 09:00:00 +0000\n"
                    f"Message-ID: <{n}@bench.example.com>\nMIME-Version: 1.0\nContent-Type: text/plain\n\n{body}")


def poplib_check(port):
    start = time.perf_counter()
    box = poplib.POP3("127.0.0.1", port)
    box.apop("bench", "secret")
    _, listing, _ = box.list()
    count = 0
    for line in listing:
        number = int(line.split()[0])
        box.top(number, 99)
        count += 1
    box.quit()
    return count, time.perf_counter() - start


def main(argv):
    server, bench = argv[0], argv[1]
    messages = int(argv[2]) if len(argv) > 2 else 2000
    rounds = int(argv[3]) if len(argv) > 3 else 3
    with tempfile.TemporaryDirectory() as tmp:
        folder = os.path.join(tmp, "mail")
        os.mkdir(folder)
        make_mailbox(folder, messages)
        port_file = os.path.join(tmp, "port")
        proc = subprocess.Popen([server, "serve", "--maildir", folder, "--user", "bench:secret", "--port-file", port_file],
                                stdout=subprocess.DEVNULL)
        try:
            for _ in range(200):
                if os.path.exists(port_file):
                    break
                time.sleep(0.05)
            port = int(open(port_file).read())
            subprocess.run([bench, str(port), "bench", "secret", str(rounds)], check=True)
            best = 0.0
            for r in range(rounds):
                count, seconds = poplib_check(port)
                rate = count / seconds
                print(f"poplib round {r + 1}: {count} messages in {seconds:.3f} s = {rate:.0f} messages/s")
                best = max(best, rate)
            print(f"poplib best: {best:.0f} messages/s ({count} messages, LIST + TOP n 99 only, no parsing)")
        finally:
            proc.kill()
            proc.wait()


if __name__ == "__main__":
    main(sys.argv[1:])

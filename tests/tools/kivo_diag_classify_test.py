#!/usr/bin/env python3
"""Runs `kivo-diag classify` over a folder of filter files and some messages.

    kivo_diag_classify_test.py [--wine WINE_RUN BUILD_DIR] KIVO_DIAG
With --wine the tool is a Windows exe, run through the Wine wrapper.
"""
import json
import os
import struct
import subprocess
import sys
import tempfile


def word_list(entries):
    """A list file: "KV10", count, then text record + base record per entry."""
    out = b"KV10" + struct.pack("<I", len(entries))
    for text, uncertain in entries:
        units = text.encode("utf-16-le")
        out += struct.pack("<I", len(units)) + units + bytes([1 if uncertain else 0, 0]) + struct.pack("<i", 0)
    return out


def size_list(entries):
    out = b"KV10" + struct.pack("<I", len(entries))
    for upper, lower in entries:
        out += struct.pack("<ii", upper, lower) + bytes([1, 0]) + struct.pack("<i", 0)
    return out


POWER = (
    "FilterName=Boss\r\nEnabled=yes\r\nFromEnabled=yes\r\nFrom=boss@work.com\r\nFriendly=yes\r\nQuestion=no\r\n"
    "RunMailer=yes\r\nLaunchProgram=yes\r\nLaunchProgramPath=C:\\tools\\alert.bat\r\nPlaySound=yes\r\n"
    "SoundFile=C:\\ding.wav\r\nSendMsgToURL=yes\r\nURLForSending=http://h/in\r\n"
    "FilterName=Off\r\nEnabled=no\r\nFromEnabled=yes\r\nFrom=boss\r\nRunMailer=yes\r\n"
)

MESSAGES = {
    "friend.eml": "From: Pal <pal@home.com>\r\nSubject: WIN big\r\nTo: me@home.com\r\n\r\nhi\r\n",
    "boss.eml": "From: The Boss <boss@work.com>\r\nSubject: Meeting & lunch\r\nTo: me@home.com\r\n\r\nat noon\r\n",
    "boss_promo.eml": "From: boss@work.com (promo)\r\nSubject: x\r\nTo: me@home.com\r\n\r\n.\r\n",
    "spam.eml": "From: <bad@spam.com>\r\nSubject: hello\r\nTo: me@home.com\r\n\r\n.\r\n",
    "subject.eml": "From: a@b.com\r\nSubject: You can WIN\r\nTo: me@home.com\r\n\r\n.\r\n",
    "tocc.eml": "From: a@b.com\r\nSubject: hello\r\nTo: someone@else.com\r\n\r\n.\r\n",
    "big.eml": "From: a@b.com\r\nSubject: hello\r\nTo: me@home.com\r\n\r\n" + "x" * 3000 + "\r\n",
    "plain.eml": "From: a@b.com\r\nSubject: hello\r\nTo: me@home.com\r\n\r\n.\r\n",
}


def main(argv):
    prefix = []
    if argv[0] == "--wine":
        prefix = ["bash", argv[1], argv[2]]
        argv = argv[3:]
    tool = argv[0]
    windows = bool(prefix)
    failures = []

    def check(what, got, want):
        if got != want:
            failures.append(f"{what}: got {got!r}, want {want!r}")

    with tempfile.TemporaryDirectory(prefix="kivo-classify-") as folder:
        def put(name, data):
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data if isinstance(data, bytes) else data.encode("latin-1"))

        put("from.dat", word_list([("promo", True)]))
        put("subject.dat", word_list([("win", False)]))
        put("to.dat", word_list([("me@home.com; me@work.com", False)]))
        put("size.dat", size_list([(2048, -1)]))
        put("power.dat", POWER)
        put("friends.dat", "pal@home.com\r\n")
        put("spammers.dat", "bad@spam.com\r\npal@home.com\r\n")
        for name, text in MESSAGES.items():
            put(name, text)

        def host(path):
            return "Z:" + path.replace("/", "\\") if windows else path

        def run(*args):
            proc = subprocess.run(prefix + [tool, "classify", *args], stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE, stdin=subprocess.DEVNULL, timeout=240)
            return proc.returncode, proc.stdout.decode("ascii"), proc.stderr.decode("latin-1")

        names = list(MESSAGES)
        files = [host(os.path.join(folder, n)) for n in names]
        rc, out, err = run(host(folder), *files)
        check("exit code", rc, 0)
        lines = [json.loads(line) for line in out.splitlines() if line.strip()]
        check("one line per message", len(lines), len(names))
        docs = {os.path.basename(d["file"].replace("\\", "/")): d for d in lines}
        for d in lines:
            check("keys", list(d), ["file", "deleted", "spammer", "uncertain", "friendly", "actions", "stage"])

        def marks(name):
            d = docs.get(name, {})
            return (d.get("stage"), d.get("deleted"), d.get("spammer"), d.get("uncertain"), d.get("friendly"))

        check("friend", marks("friend.eml"), ("friends", False, False, False, True))
        check("friend actions", docs.get("friend.eml", {}).get("actions"), [])
        check("boss", marks("boss.eml"), ("none", False, False, False, True))
        check("boss actions", docs.get("boss.eml", {}).get("actions"), [
            {"filter": "Boss", "action": "run_mailer", "argument": ""},
            {"filter": "Boss", "action": "launch_program", "argument": "C:\\tools\\alert.bat"},
            {"filter": "Boss", "action": "play_sound", "argument": "C:\\ding.wav"},
            {"filter": "Boss", "action": "send_to_url",
             "argument": "http://h/in?to=%20me%40home.com&cc=&bcc=&subject=%20Meeting%20%26%20lunch&emailbody=at%20noon%0D%0A"},
        ])
        check("boss promo", marks("boss_promo.eml"), ("from", False, False, True, True))
        check("spammer", marks("spam.eml"), ("spammers", True, True, False, False))
        check("subject", marks("subject.eml"), ("subject", True, False, False, False))
        check("tocc", marks("tocc.eml"), ("tocc", True, False, False, False))
        check("size", marks("big.eml"), ("size", False, False, True, False))
        check("plain", marks("plain.eml"), ("none", False, False, False, False))

        # Without the friends list, the friend is caught by the subject list first.
        rc, out, _ = run(host(folder), files[0], "--check-friends", "no")
        d = json.loads(out) if rc == 0 else {}
        check("friends off", (d.get("stage"), d.get("deleted")), ("subject", True))
        rc, out, _ = run(host(folder), files[3], "--check-spammers", "no")
        d = json.loads(out) if rc == 0 else {}
        check("spammers off", d.get("stage"), "none")

        check("bad switch", run(host(folder), files[0], "--check-friends", "maybe")[0], 2)
        check("no files", run(host(folder))[0], 2)
        check("missing file", run(host(folder), host(os.path.join(folder, "missing.eml")))[0], 1)

    for f in failures:
        print("FAIL", f)
    print("kivo-diag classify:", "FAILED" if failures else "passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

"""The tests' Dovecot as a Windows program under Wine reaches it.

Shared by the Wine tests that talk TLS to the Dovecot fixture:
- read_env / skip_reason: the fixture's env file, or why there is none;
- trust_ca: the tests' CA into the current prefix's machine root store;
- Relay: a loopback port that forwards to the server and keeps every byte
  the client sent, so a test can show the password never left in clear.

Run as a program inside a prefix (tools/wine-run.sh --script):
    wine_tls.py trust CA_PEM -- COMMAND...
trusts the CA, then runs COMMAND in its place.
"""
import hashlib
import os
import socket
import ssl
import subprocess
import sys
import tempfile
import threading


def read_env(path):
    env = {}
    try:
        with open(path) as f:
            for line in f:
                key, _, value = line.strip().partition("=")
                env[key] = value
    except OSError:
        pass
    return env


def skip_reason(env, path):
    """Why a test must skip (no Dovecot for this run), or None."""
    if "absent" in env:
        return env["absent"]
    if "tls_port" not in env:
        return "no fixture file " + path
    return None


def certificate_sha256(pem_path):
    with open(pem_path) as f:
        return hashlib.sha256(ssl.PEM_cert_to_DER_cert(f.read())).hexdigest()


def root_store_reg(ca_pem, path):
    # Schannel's trust is crypt32's, which reads the root store from the
    # registry: a serialised certificate element, property 32 (the encoded
    # certificate), a reserved 1, the length, the DER bytes.
    with open(ca_pem) as f:
        der = ssl.PEM_cert_to_DER_cert(f.read())
    blob = (32).to_bytes(4, "little") + (1).to_bytes(4, "little") + len(der).to_bytes(4, "little") + der
    sha1 = hashlib.sha1(der).hexdigest().upper()
    with open(path, "w") as f:
        f.write("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\"
                + sha1 + "]\n\"Blob\"=hex:" + ",".join("%02x" % b for b in blob) + "\n")


def trust_ca(ca_pem):
    """Puts the CA into WINEPREFIX's root store; the programs started after it trust it."""
    with tempfile.TemporaryDirectory() as tmp:
        reg = os.path.join(tmp, "ca.reg")
        root_store_reg(ca_pem, reg)
        p = subprocess.run(["wine", "reg", "import", "Z:" + reg.replace("/", "\\")], stdin=subprocess.DEVNULL,
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        if p.returncode != 0:
            raise RuntimeError("wine reg import failed: %r" % p.stdout[-2000:])
    # The import is on disk, and seen by every new process, once the
    # prefix's server has written it out and gone.
    subprocess.run(["wineserver", "-w"], stdin=subprocess.DEVNULL)


def trusting_command(wine_run, build, ca_pem):
    """The start of a command that runs a Windows program in a throw-away
    prefix (tools/wine-run.sh) whose root store trusts the CA; a failed
    import ends it there."""
    return ["bash", wine_run, build, "--script", sys.executable, os.path.abspath(__file__), "trust", ca_pem, "--",
            "wine"]


class Relay:
    """One loopback port that forwards to `target` and keeps what the client sent."""

    def __init__(self, target, address="127.0.0.1"):
        self.target = target
        self.sent = bytearray()
        self.lock = threading.Lock()
        self.listener = socket.create_server((address, 0))
        self.port = self.listener.getsockname()[1]
        threading.Thread(target=self._accept, daemon=True).start()

    def _accept(self):
        while True:
            try:
                client, _ = self.listener.accept()
            except OSError:
                return
            try:
                server = socket.create_connection(("127.0.0.1", self.target))
            except OSError:
                client.close()
                continue
            threading.Thread(target=self._pump, args=(client, server, True), daemon=True).start()
            threading.Thread(target=self._pump, args=(server, client, False), daemon=True).start()

    def _pump(self, source, sink, record):
        try:
            while True:
                data = source.recv(65536)
                if not data:
                    break
                if record:
                    with self.lock:
                        self.sent += data
                sink.sendall(data)
        except OSError:
            pass
        for s in (source, sink):
            try:
                s.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass

    def recorded(self):
        with self.lock:
            return bytes(self.sent)

    def close(self):
        self.listener.close()


if __name__ == "__main__":
    args = sys.argv[1:]
    if len(args) < 4 or args[0] != "trust" or args[2] != "--":
        sys.exit("usage: wine_tls.py trust CA_PEM -- COMMAND...")
    trust_ca(args[1])
    os.execvp(args[3], args[3:])

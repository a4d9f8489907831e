#!/usr/bin/env python3
"""A small POP3 server over TLS for the tests, with certificates made here.

make_certs(dir) writes a test CA and server certificates (good, wrong
host, expired, from an unknown CA). TlsPop3Server serves one mailbox of one
message over implicit TLS or STLS and records every byte it received off
the wire, before any decryption, so a test can prove what went in clear.
"""
import datetime
import socket
import ssl
import threading
import time

from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.x509.oid import NameOID

MESSAGE = b"From: Tess <tess@example.com>\r\nSubject: over TLS\r\n\r\nbody line\r\n"


def _name(cn):
    return x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, cn)])


def _cert(subject, issuer, key, issuer_key, names, not_before, not_after, ca=False):
    b = (x509.CertificateBuilder().subject_name(_name(subject)).issuer_name(_name(issuer))
         .public_key(key.public_key()).serial_number(x509.random_serial_number())
         .not_valid_before(not_before).not_valid_after(not_after)
         .add_extension(x509.BasicConstraints(ca=ca, path_length=None), critical=True))
    if ca:
        b = b.add_extension(x509.KeyUsage(digital_signature=True, key_cert_sign=True, crl_sign=True,
                                          content_commitment=False, key_encipherment=False,
                                          data_encipherment=False, key_agreement=False, encipher_only=False,
                                          decipher_only=False), critical=True)
    else:
        import ipaddress
        alt = [x509.IPAddress(ipaddress.ip_address(n)) if n[0].isdigit() else x509.DNSName(n) for n in names]
        b = b.add_extension(x509.SubjectAlternativeName(alt), critical=False)
        b = b.add_extension(x509.ExtendedKeyUsage([x509.oid.ExtendedKeyUsageOID.SERVER_AUTH]), critical=False)
    return b.sign(issuer_key, hashes.SHA256())


def make_certs(directory):
    """Returns {name: (cert_path, key_path)} plus 'ca' -> ca.pem and the DER and fingerprints."""
    now = datetime.datetime.now(datetime.timezone.utc)
    day = datetime.timedelta(days=1)
    ca_key = ec.generate_private_key(ec.SECP256R1())
    ca = _cert("Kivo Test CA", "Kivo Test CA", ca_key, ca_key, [], now - day, now + 30 * day, ca=True)
    other_key = ec.generate_private_key(ec.SECP256R1())
    other = _cert("Unknown CA", "Unknown CA", other_key, other_key, [], now - day, now + 30 * day, ca=True)
    out = {}

    def write(name, cert, key):
        cp, kp = f"{directory}/{name}.pem", f"{directory}/{name}.key"
        with open(cp, "wb") as f:
            f.write(cert.public_bytes(serialization.Encoding.PEM))
        with open(kp, "wb") as f:
            f.write(key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                                      serialization.NoEncryption()))
        out[name] = (cp, kp, cert.fingerprint(hashes.SHA256()).hex())

    for name, names, issuer, ikey, start, end in [
            ("good", ["localhost", "127.0.0.1"], "Kivo Test CA", ca_key, now - day, now + 30 * day),
            ("wronghost", ["mail.example.net"], "Kivo Test CA", ca_key, now - day, now + 30 * day),
            ("expired", ["localhost", "127.0.0.1"], "Kivo Test CA", ca_key, now - 60 * day, now - 30 * day),
            ("unknown", ["localhost", "127.0.0.1"], "Unknown CA", other_key, now - day, now + 30 * day)]:
        key = ec.generate_private_key(ec.SECP256R1())
        write(name, _cert("localhost" if name != "wronghost" else "mail.example.net", issuer, key, ikey,
                          names, start, end), key)
    with open(f"{directory}/ca.pem", "wb") as f:
        f.write(ca.public_bytes(serialization.Encoding.PEM))
    out["ca_der"] = ca.public_bytes(serialization.Encoding.DER)
    out["ca_sha1"] = ca.fingerprint(hashes.SHA1()).hex().upper()
    return out


class TlsPop3Server:
    """modes: tls, stls, stls-missing, stls-refuse, stls-inject, drop, stall, slow."""

    def __init__(self, cert, key, mode, user="ann", password="s3cret pass"):
        self.mode, self.user, self.password = mode, user.encode(), password.encode()
        self.context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        self.context.load_cert_chain(cert, key)
        self.listener = socket.socket()
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(4)
        self.port = self.listener.getsockname()[1]
        self.wire = bytearray()      # every byte received, as it came
        self.commands = []           # the commands read inside TLS or in clear
        self.stopping = False
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()

    def close(self):
        self.stopping = True
        try:
            self.listener.close()
        except OSError:
            pass

    def _serve(self):
        self.listener.settimeout(0.2)
        while not self.stopping:
            try:
                conn, _ = self.listener.accept()
            except (socket.timeout, OSError):
                continue
            conn.settimeout(20)
            threading.Thread(target=self._session, args=(conn,), daemon=True).start()

    # ---- raw I/O, recorded
    def _recv(self, conn):
        data = conn.recv(65536)
        self.wire += data
        return data

    def _session(self, conn):
        try:
            self._run(conn)
        except (OSError, ssl.SSLError, ConnectionError):
            pass
        finally:
            conn.close()

    def _run(self, conn):
        plain = bytearray()

        def read_line_clear():
            while b"\r\n" not in plain:
                data = self._recv(conn)
                if not data:
                    raise ConnectionError
                plain.extend(data)
            line, _, rest = bytes(plain).partition(b"\r\n")
            plain[:] = rest
            self.commands.append(line.decode("latin-1"))
            return line

        if self.mode.startswith("stls"):
            conn.sendall(b"+OK clear greeting\r\n")
            while True:
                line = read_line_clear().upper()
                if line == b"CAPA":
                    caps = b"USER\r\n" if self.mode == "stls-missing" else b"USER\r\nSTLS\r\n"
                    conn.sendall(b"+OK\r\n" + caps + b".\r\n")
                elif line == b"STLS" and self.mode == "stls-refuse":
                    conn.sendall(b"-ERR not now\r\n")
                elif line == b"STLS" and self.mode == "stls-inject":
                    conn.sendall(b"+OK begin\r\n+OK injected\r\n")
                elif line == b"STLS":
                    conn.sendall(b"+OK begin TLS\r\n")
                    break
                elif line == b"QUIT":
                    conn.sendall(b"+OK bye\r\n")
                    return
                else:
                    conn.sendall(b"-ERR in clear\r\n")
        if self.mode == "drop":
            self._recv(conn)
            return
        if self.mode == "stall":
            self._recv(conn)
            time.sleep(6)
            return

        incoming, outgoing = ssl.MemoryBIO(), ssl.MemoryBIO()
        tls = self.context.wrap_bio(incoming, outgoing, server_side=True)

        shaking = [True]

        def flush():
            data = outgoing.read()
            if self.mode == "slow" and shaking[0]:
                # Each piece well inside the client's time-out, the whole
                # handshake well past it: only a re-armed deadline survives.
                for i in range(0, len(data), 60):
                    conn.sendall(data[i:i + 60])
                    time.sleep(0.3)
            elif data:
                conn.sendall(data)

        while True:
            try:
                tls.do_handshake()
                shaking[0] = False  # what follows (tickets, greeting) at full speed
                flush()
                break
            except ssl.SSLWantReadError:
                flush()
                data = self._recv(conn)
                if not data:
                    return
                incoming.write(data)
        buffered = bytearray()

        def read_line():
            while b"\r\n" not in buffered:
                try:
                    buffered.extend(tls.read(65536))
                    continue
                except ssl.SSLWantReadError:
                    pass
                data = self._recv(conn)
                if not data:
                    raise ConnectionError
                incoming.write(data)
            line, _, rest = bytes(buffered).partition(b"\r\n")
            buffered[:] = rest
            self.commands.append(line.decode("latin-1"))
            return line

        def say(text):
            tls.write(text)
            flush()

        say(b"+OK secure greeting\r\n")
        logged_in = False
        while True:
            words = read_line().split(b" ", 2)
            verb = words[0].upper()
            if verb == b"USER":
                say(b"+OK\r\n")
            elif verb == b"PASS":
                logged_in = len(words) > 1 and b" ".join(words[1:]) == self.password
                say(b"+OK in\r\n" if logged_in else b"-ERR bad password\r\n")
            elif verb == b"CAPA":
                say(b"+OK\r\nUSER\r\n.\r\n")
            elif verb == b"LIST" and logged_in:
                say(b"+OK 1 message\r\n1 %d\r\n.\r\n" % len(MESSAGE))
            elif verb == b"TOP" and logged_in:
                say(b"+OK\r\n" + MESSAGE + b".\r\n")
            elif verb == b"QUIT":
                say(b"+OK bye\r\n")
                return
            else:
                say(b"-ERR no\r\n")

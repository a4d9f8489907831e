"""A loopback port that forwards to another and keeps what the client sent.

The tests run a client's sessions through it to see what crossed the wire:
the password must never appear in it in clear.
"""
import socket
import threading


class Relay:
    """One loopback port that forwards to `target` and keeps what the client sent."""

    def __init__(self, target):
        self.target = target
        self.sent = bytearray()
        self.listener = socket.create_server(("127.0.0.1", 0))
        self.port = self.listener.getsockname()[1]
        threading.Thread(target=self._accept, daemon=True).start()

    def _accept(self):
        while True:
            try:
                client, _ = self.listener.accept()
            except OSError:
                return
            server = socket.create_connection(("127.0.0.1", self.target))
            threading.Thread(target=self._pump, args=(client, server, True), daemon=True).start()
            threading.Thread(target=self._pump, args=(server, client, False), daemon=True).start()

    def _pump(self, source, sink, record):
        try:
            while True:
                data = source.recv(65536)
                if not data:
                    break
                if record:
                    self.sent += data
                sink.sendall(data)
        except OSError:
            pass
        for s in (source, sink):
            try:
                s.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass

    def close(self):
        self.listener.close()

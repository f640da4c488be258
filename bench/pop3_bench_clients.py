#!/usr/bin/env python3
"""The Python side of the POP3 benchmark: the same retrieval as the mail check (UIDL n, then
RETR n, for every message) with poplib and with a minimal raw client.

    pop3_bench_clients.py poplib|raw PORT USER PASS COUNT [CAFILE]

With CAFILE both speak POP3 over TLS from the first byte (poplib.POP3_SSL, and the raw
client over an ssl socket), checking the server's certificate for "localhost" against it.
Prints one line: "<seconds> <bytes of message data>", timed from after the login to the
end of the last RETR.
"""
import poplib
import socket
import ssl
import sys
import time


def tls_context(cafile):
    return ssl.create_default_context(cafile=cafile) if cafile else None


def run_poplib(port, user, password, count, cafile):
    if cafile:
        pop = poplib.POP3_SSL("localhost", port, context=tls_context(cafile))
    else:
        pop = poplib.POP3("127.0.0.1", port)
    pop._maxline = 1 << 20  # poplib's default refuses lines longer than 2 KB
    pop.user(user)
    pop.pass_(password)
    total = 0
    start = time.perf_counter()
    for n in range(1, count + 1):
        pop.uidl(n)
        _, lines, octets = pop.retr(n)
        total += sum(len(line) + 2 for line in lines)
    elapsed = time.perf_counter() - start
    pop.quit()
    return elapsed, total


class RawClient:
    """Large recv_into()s into one preallocated buffer; looks only at the tail of what it
    has for the end of a reply, so it does no per-line work at all."""

    def __init__(self, port, cafile):
        self.sock = socket.create_connection(("127.0.0.1", port))
        if cafile:
            self.sock = tls_context(cafile).wrap_socket(self.sock, server_hostname="localhost")
        self.buffer = bytearray(8 << 20)
        self.view = memoryview(self.buffer)
        self.status()

    def status(self):
        size = 0
        while size < 2 or self.buffer[size - 2:size] != b"\r\n":
            n = self.sock.recv_into(self.view[size:], 65536)
            if not n:
                raise EOFError
            size += n
        if self.buffer[:3] != b"+OK":
            raise RuntimeError(bytes(self.buffer[:size]))

    def command(self, line):
        self.sock.sendall(line.encode() + b"\r\n")

    def multiline(self):
        """Returns the reply's size; the buffer is reused from the start once it is full."""
        total = 0
        size = 0
        while True:
            if size > len(self.buffer) - (1 << 20):
                # Keep the last bytes, which may hold the start of the end marker.
                self.buffer[:5] = self.buffer[size - 5:size]
                size = 5
            n = self.sock.recv_into(self.view[size:], 1 << 20)
            if not n:
                raise EOFError
            size += n
            total += n
            if size >= 5 and self.buffer[size - 5:size] == b"\r\n.\r\n":
                return total


def run_raw(port, user, password, count, cafile):
    client = RawClient(port, cafile)
    client.command("USER " + user)
    client.status()
    client.command("PASS " + password)
    client.status()
    total = 0
    start = time.perf_counter()
    for n in range(1, count + 1):
        client.command("UIDL %d" % n)
        client.status()
        client.command("RETR %d" % n)
        total += client.multiline()
    elapsed = time.perf_counter() - start
    client.command("QUIT")
    client.status()
    return elapsed, total


def main():
    kind, port, user, password, count = sys.argv[1:6]
    cafile = sys.argv[6] if len(sys.argv) > 6 else None
    run = run_poplib if kind == "poplib" else run_raw
    elapsed, total = run(int(port), user, password, int(count), cafile)
    print("%.6f %d" % (elapsed, total))


if __name__ == "__main__":
    main()

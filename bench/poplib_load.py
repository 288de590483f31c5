#!/usr/bin/env python3
"""The header load done by other clients, for comparison: CPython's poplib, and a pipelined
client that writes every TOP at once. Prints one line per run: the mode and the seconds taken."""
import poplib
import socket
import sys
import time


def poplib_load(host, port, user, password):
    start = time.perf_counter()
    client = poplib.POP3(host, port)
    client.user(user)
    client.pass_(password)
    count, _ = client.stat()
    client.list()
    for n in range(1, count + 1):
        client.top(n, 0)
    client.quit()
    return time.perf_counter() - start


class Reader:
    """Reads as a tight client does: the received bytes stay in one buffer, and the reader scans
    it for the ends of lines and replies without copying what follows them."""

    def __init__(self, sock):
        self.sock = sock
        self.buf = bytearray()
        self.pos = 0

    def more(self):
        chunk = self.sock.recv(262144)
        if not chunk:
            raise EOFError
        self.buf += chunk

    def compact(self):
        if self.pos > 1 << 20:  # what was read goes now and then, not at every line
            del self.buf[: self.pos - 2]  # the last line end stays for block()
            self.pos = 2

    def line(self):
        self.compact()
        scanned = self.pos
        while True:
            end = self.buf.find(b"\r\n", scanned)
            if end >= 0:
                line = bytes(self.buf[self.pos : end])
                self.pos = end + 2
                return line
            scanned = max(self.pos, len(self.buf) - 1)
            self.more()

    def block(self):
        # The data after a status line ends at CR LF "." CR LF, the status line's own CR LF
        # counting for an empty block.
        self.compact()
        scanned = self.pos - 2
        while True:
            end = self.buf.find(b"\r\n.\r\n", scanned)
            if end >= 0:
                self.pos = end + 5
                return
            scanned = max(self.pos - 2, len(self.buf) - 4)
            self.more()


def pipelined_load(host, port, user, password):
    start = time.perf_counter()
    sock = socket.create_connection((host, port))
    reader = Reader(sock)
    reader.line()
    sock.sendall(b"USER %s\r\nPASS %s\r\nSTAT\r\nLIST\r\n" % (user.encode(), password.encode()))
    reader.line()
    reader.line()
    count = int(reader.line().split()[1])
    reader.line()
    reader.block()
    sock.sendall(b"".join(b"TOP %d 0\r\n" % n for n in range(1, count + 1)))
    for _ in range(count):
        reader.line()
        reader.block()
    sock.sendall(b"QUIT\r\n")
    reader.line()
    sock.close()
    return time.perf_counter() - start


def main():
    mode, host, port, user, password, runs = sys.argv[1:7]
    load = poplib_load if mode == "poplib" else pipelined_load
    for _ in range(int(runs)):
        print(mode, "%.6f" % load(host, int(port), user, password), flush=True)


if __name__ == "__main__":
    main()

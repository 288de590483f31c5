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
    def __init__(self, sock):
        self.sock = sock
        self.buf = b""

    def line(self):
        while b"\r\n" not in self.buf:
            chunk = self.sock.recv(65536)
            if not chunk:
                raise EOFError
            self.buf += chunk
        line, self.buf = self.buf.split(b"\r\n", 1)
        return line

    def block(self):
        while True:
            if self.line() == b".":
                return


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

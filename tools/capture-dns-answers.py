#!/usr/bin/env python3
"""Captures real MX answers from a private dnsmasq on loopback as seeds for fuzz_dns_answer.

Needs root (port 53) and dnsmasq-base. Starts dnsmasq on a free 127.x.y.z address that only
knows the records below, asks one MX question per name (as the program asks it) and writes each
answer datagram, unchanged, to tests/fuzz/corpus/fuzz_dns_answer/dnsmasq-<name>.
Usage: tools/capture-dns-answers.py [output folder]
"""
import os
import random
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
    HERE, "..", "tests", "fuzz", "corpus", "fuzz_dns_answer")

LONG = ".".join(["a" * 63, "b" * 63, "c" * 63, "d" * 50]) + ".test"  # 248 characters
RECORDS = [
    "--mx-host=one.test,mx.one.test,10",
    "--mx-host=two.test,mx10.two.test,10",
    "--mx-host=two.test,mx20.two.test,20",
    "--mx-host=elsewhere.test,mail.example.net,5",
    "--mx-host=long.test," + LONG + ",1",
    "--mx-host=" + LONG + ",mx.long.test,1",
    "--host-record=nomx.test,127.0.0.9",
    "--cname=alias.test,one.test",
]
QUESTIONS = ["one.test", "two.test", "elsewhere.test", "long.test", LONG, "nomx.test",
             "alias.test", "missing.test"]


def query(name):
    labels = b"".join(bytes([len(p)]) + p.encode() for p in name.split("."))
    return b"\x00\x01\x01\x00\x00\x01\x00\x00\x00\x00\x00\x00" + labels + b"\x00\x00\x0f\x00\x01"


def free_address():
    for _ in range(32):
        address = "127.%d.%d.%d" % (random.randint(1, 254), random.randint(0, 255),
                                    random.randint(1, 254))
        try:
            with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
                s.bind((address, 53))
            return address
        except OSError:
            continue
    sys.exit("no loopback address with a free port 53 (root is needed)")


def main():
    address = free_address()
    workdir = tempfile.mkdtemp(prefix="maroket-dns-capture-")
    args = ["dnsmasq", "--keep-in-foreground", "--conf-file=/dev/null", "--no-resolv",
            "--no-hosts", "--no-poll", "--bind-interfaces", "--listen-address=" + address,
            "--port=53", "--pid-file=", "--local=/test/", "--log-facility=-"]
    if os.geteuid() == 0:
        args.append("--user=nobody")
    log = open(os.path.join(workdir, "dnsmasq.log"), "wb")
    server = subprocess.Popen(args + RECORDS, stdout=log, stderr=log)
    try:
        os.makedirs(OUT, exist_ok=True)
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
            s.settimeout(0.2)
            deadline = time.time() + 5
            for name in QUESTIONS:
                while True:
                    s.sendto(query(name), (address, 53))
                    try:
                        answer, _ = s.recvfrom(512)
                        break
                    except socket.timeout:
                        if time.time() > deadline:
                            sys.exit("dnsmasq did not answer:\n" + open(log.name).read())
                short = name if len(name) < 40 else "long-owner"
                with open(os.path.join(OUT, "dnsmasq-" + short), "wb") as f:
                    f.write(answer)
                print("%-16s %3d bytes" % (short, len(answer)))
    finally:
        server.terminate()
        server.wait(5)
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    main()

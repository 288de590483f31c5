#!/usr/bin/env python3
"""A modelled wide-area link between a client and a server on loopback: every byte is delayed by
a fixed one-way time in each direction, and each direction carries at most the given rate, the
data cut into 1448-byte segments spaced by that rate, as a TCP path of that size would carry them.

    wan_proxy.py TARGET_HOST TARGET_PORT [--delay-ms 10] [--mbit 50]

Prints the loopback port it listens on, then serves until stopped."""
import argparse
import asyncio
import time

SEGMENT = 1448


class Link:
    """One direction: segments leave at the link's rate and arrive one delay later."""

    def __init__(self, delay, bytes_per_second):
        self.delay = delay
        self.rate = bytes_per_second
        self.free_at = 0.0  # when the link has sent everything queued so far
        self.queue = asyncio.Queue()

    def offer(self, data):
        now = time.monotonic()
        for i in range(0, len(data), SEGMENT):
            segment = data[i:i + SEGMENT]
            self.free_at = max(now, self.free_at) + len(segment) / self.rate
            self.queue.put_nowait((self.free_at + self.delay, segment))

    async def deliver(self, writer):
        while True:
            arrival, segment = await self.queue.get()
            if segment is None:
                break
            batch = [segment]
            wait = arrival - time.monotonic()
            if wait > 0:
                await asyncio.sleep(wait)
            # Everything due by now goes out in one write.
            now = time.monotonic()
            while not self.queue.empty():
                next_arrival, next_segment = self.queue._queue[0]
                if next_segment is None or next_arrival > now:
                    break
                self.queue.get_nowait()
                batch.append(next_segment)
            writer.write(b"".join(batch))
            await writer.drain()
        writer.close()

    def close(self):
        self.queue.put_nowait((0.0, None))


async def pump(reader, link):
    try:
        while True:
            data = await reader.read(65536)
            if not data:
                break
            link.offer(data)
    except ConnectionError:
        pass
    link.close()


async def serve(args):
    delay = args.delay_ms / 1000.0
    rate = args.mbit * 1e6 / 8

    async def handle(client_reader, client_writer):
        try:
            server_reader, server_writer = await asyncio.open_connection(args.host, args.port)
        except OSError:
            client_writer.close()
            return
        up, down = Link(delay, rate), Link(delay, rate)
        await asyncio.gather(pump(client_reader, up), up.deliver(server_writer),
                             pump(server_reader, down), down.deliver(client_writer),
                             return_exceptions=True)

    server = await asyncio.start_server(handle, "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    async with server:
        await server.serve_forever()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("host")
    parser.add_argument("port", type=int)
    parser.add_argument("--delay-ms", type=float, default=10.0)
    parser.add_argument("--mbit", type=float, default=50.0)
    try:
        asyncio.run(serve(parser.parse_args()))
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Serves a folder over HTTP/1.1 on loopback as a server far away would: every
request waits a fixed latency before it is answered. Pieces are served as the
demo site serves its streams (types by name, byte ranges, strong ETags,
answers with a length on kept-alive connections), each connection on a
thread of its own, so that a downloader may fetch several at once.

Usage: serve.py --root DIR [--latency-ms 30] [--port N] [--port-file FILE]
The port file is written (whole, by a rename) once the server listens.
"""

import argparse
import http.server
import os
import signal
import sys
import time
import urllib.parse

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "demo-site"))
import served_files  # noqa: E402  (found through the path above)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "SkerrowBench/1.0"

    def log_message(self, fmt, *args):
        pass

    def do_GET(self):
        time.sleep(self.server.latency)
        relative = urllib.parse.unquote(urllib.parse.urlsplit(self.path).path).lstrip("/")
        path = self.server.files.find(relative)
        if path is None:
            served_files.send_bytes(self, 404, b"Not found", "text/plain")
            return
        data, etag = self.server.files.read(path)
        served_files.send_file(self, data, served_files.content_type(relative), etag)

    do_HEAD = do_GET


class BenchServer(http.server.ThreadingHTTPServer):
    daemon_threads = True
    # Downloaders that open several connections at once are not kept waiting
    # in the kernel's queue.
    request_queue_size = 64


def write_port(path, port):
    with open(path + ".tmp", "w") as out:
        out.write(str(port))
    os.replace(path + ".tmp", path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", required=True, help="the folder to serve")
    parser.add_argument("--latency-ms", type=int, default=30, help="the wait before each answer (default 30)")
    parser.add_argument("--port", type=int, default=0, help="port on 127.0.0.1 (0: any free one)")
    parser.add_argument("--port-file", help="write the port to this file once listening")
    args = parser.parse_args()
    if not 0 <= args.latency_ms <= 60000:
        parser.error("--latency-ms is from 0 to 60000")
    if not os.path.isdir(args.root):
        parser.error("--root %s is not a folder" % args.root)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    server = BenchServer(("127.0.0.1", args.port), Handler)
    server.latency = args.latency_ms / 1000
    server.files = served_files.Folder(args.root)
    if args.port_file:
        write_port(args.port_file, server.server_address[1])
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()

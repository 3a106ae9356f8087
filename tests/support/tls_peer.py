#!/usr/bin/env python3
"""A TLS peer for the tests that need a server to misbehave in ways nginx
will not: it answers every request with 40,000 bytes of a 100,000-byte body
(or of a body without a length) and then ends as told.

  tls_peer.py --certificate PEM --key KEY [--length] [--legacy]
              --end cut|notify|stall --port 0 --port-file FILE

  --legacy  speaks TLS 1.1 at most, which clients of TLS 1.2 or newer refuse

  cut     closes the connection without a TLS close notification
  notify  ends the session with a close notification, then closes
  stall   sends nothing more
"""

import argparse
import os
import socket
import ssl
import time
import warnings


def answer(connection, context, args):
    session = context.wrap_socket(connection, server_side=True)
    request = b""
    while b"\r\n\r\n" not in request:
        received = session.recv(4096)
        if not received:
            return
        request += received
    length = b"Content-Length: 100000\r\n" if args.length else b"Connection: close\r\n"
    session.sendall(b"HTTP/1.1 200 OK\r\n" + length + b"\r\n" + b"x" * 40000)
    if args.end == "stall":
        time.sleep(60)
    elif args.end == "notify":
        session.settimeout(2)
        session.unwrap()
    else:
        # Python drops the session here without saying goodbye.
        session.shutdown(socket.SHUT_RDWR)
    session.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--certificate", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--length", action="store_true")
    parser.add_argument("--legacy", action="store_true")
    parser.add_argument("--end", choices=("cut", "notify", "stall"), required=True)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--port-file", required=True)
    args = parser.parse_args()

    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(args.certificate, args.key)
    if args.legacy:
        warnings.simplefilter("ignore", DeprecationWarning)
        context.set_ciphers("DEFAULT@SECLEVEL=0")
        context.minimum_version = ssl.TLSVersion.TLSv1
        context.maximum_version = ssl.TLSVersion.TLSv1_1
    listener = socket.create_server(("127.0.0.1", args.port))
    with open(args.port_file + ".tmp", "w") as out:
        out.write(str(listener.getsockname()[1]))
    os.replace(args.port_file + ".tmp", args.port_file)
    while True:
        connection, _ = listener.accept()
        try:
            answer(connection, context, args)
        except (OSError, ssl.SSLError):
            pass
        finally:
            connection.close()


if __name__ == "__main__":
    main()

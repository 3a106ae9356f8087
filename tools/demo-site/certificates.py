#!/usr/bin/env python3
"""A small certificate authority for trying TLS out on loopback: the demo
site's own, and the test fixtures'. It drives the `openssl` command.

  certificates.py authority DIR NAME
      DIR/NAME.pem and DIR/NAME.key: a self-signed authority
  certificates.py issue DIR AUTHORITY NAME HOST... [--expired]
      DIR/NAME.pem and DIR/NAME.key: a server certificate for the hosts (names
      or IP addresses), signed by DIR/AUTHORITY; --expired makes one whose
      time ran out in 2020

Standard library only, besides the openssl command.
"""

import argparse
import ipaddress
import os
import subprocess

# What `openssl req` needs to make the self-signed authority.
AUTHORITY_CONFIG = """
[req]
distinguished_name = name
[name]
[authority]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
"""

SERVER_EXTENSIONS = """
basicConstraints = CA:FALSE
keyUsage = critical, digitalSignature, keyEncipherment
extendedKeyUsage = serverAuth
subjectAltName = %s
"""

# What `openssl ca` needs to sign: a database of what it issued, per authority.
SIGNING_CONFIG = """
[ca]
default_ca = authority
[authority]
database = %(dir)s/%(name)s.index
serial = %(dir)s/%(name)s.serial
new_certs_dir = %(dir)s
default_md = sha256
policy = anything
unique_subject = no
[anything]
commonName = supplied
"""


def openssl(*arguments):
    subprocess.run(("openssl",) + arguments, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def write(path, text):
    with open(path, "w") as out:
        out.write(text)


def new_key(path):
    openssl("genpkey", "-algorithm", "EC", "-pkeyopt", "ec_paramgen_curve:P-256", "-out", path)


def make_authority(folder, name):
    """A self-signed authority, valid for ten years: folder/name.pem, folder/name.key."""
    base = os.path.join(folder, name)
    new_key(base + ".key")
    write(base + ".req", AUTHORITY_CONFIG)
    openssl("req", "-x509", "-new", "-key", base + ".key", "-out", base + ".pem", "-days", "3650",
            "-subj", "/CN=" + name, "-config", base + ".req", "-extensions", "authority")
    write(base + ".index", "")
    write(base + ".serial", "1000\n")
    write(base + ".cnf", SIGNING_CONFIG % {"dir": folder, "name": name})
    return base + ".pem"


def alternative_names(hosts):
    names = []
    for host in hosts:
        try:
            ipaddress.ip_address(host)
            names.append("IP:" + host)
        except ValueError:
            names.append("DNS:" + host)
    return ", ".join(names)


def issue(folder, authority, name, hosts, expired=False):
    """A server certificate for hosts signed by the authority: folder/name.pem, folder/name.key."""
    base = os.path.join(folder, name)
    signer = os.path.join(folder, authority)
    new_key(base + ".key")
    openssl("req", "-new", "-key", base + ".key", "-out", base + ".csr", "-subj", "/CN=" + hosts[0],
            "-config", signer + ".req")
    write(base + ".ext", SERVER_EXTENSIONS % alternative_names(hosts))
    dates = ["-startdate", "20200101000000Z", "-enddate", "20200201000000Z"] if expired else ["-days", "825"]
    openssl("ca", "-batch", "-notext", "-config", signer + ".cnf", "-cert", signer + ".pem",
            "-keyfile", signer + ".key", "-in", base + ".csr", "-out", base + ".pem",
            "-extfile", base + ".ext", *dates)
    return base + ".pem", base + ".key"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    commands = parser.add_subparsers(dest="command", required=True)
    authority = commands.add_parser("authority")
    authority.add_argument("folder")
    authority.add_argument("name")
    server = commands.add_parser("issue")
    server.add_argument("folder")
    server.add_argument("authority")
    server.add_argument("name")
    server.add_argument("hosts", nargs="+")
    server.add_argument("--expired", action="store_true")
    args = parser.parse_args()
    if args.command == "authority":
        make_authority(args.folder, args.name)
    else:
        issue(args.folder, args.authority, args.name, args.hosts, args.expired)


if __name__ == "__main__":
    main()

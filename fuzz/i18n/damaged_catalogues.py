#!/usr/bin/env python3
"""Writes the seeds of the catalogue fuzz target: a built catalogue as it is
and a few damaged copies of it, each damaged in one way a reader must survive.

Usage: damaged_catalogues.py CATALOGUE.mo FOLDER
"""

import os
import struct
import sys


def word(data, at):
    return struct.unpack_from("<I", data, at)[0]


def with_word(data, at, value):
    copy = bytearray(data)
    struct.pack_into("<I", copy, at, value & 0xFFFFFFFF)
    return bytes(copy)


def main():
    source, folder = sys.argv[1], sys.argv[2]
    with open(source, "rb") as f:
        mo = f.read()
    count, originals, translations = word(mo, 8), word(mo, 12), word(mo, 16)
    seeds = {
        "intact.mo": mo,
        "truncated.mo": mo[: len(mo) // 2],
        "header-only.mo": mo[:28],
        "big-endian-magic.mo": bytes(reversed(mo[:4])) + mo[4:],
        "count-too-large.mo": with_word(mo, 8, count * 1000),
        "original-past-end.mo": with_word(mo, originals + 4, len(mo) + 16),
        "translation-too-long.mo": with_word(mo, translations, len(mo)),
        "tables-overlap.mo": with_word(mo, 16, originals),
    }
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()

"""Just enough of the ISO base media file format to describe the demo's own
MP4 files: where the boxes of a file lie, and the avcC record that names an
H.264 stream's profile and level for a CODECS attribute."""

import struct

# Boxes whose children the walk enters on its way to the avcC record.
CONTAINERS = (b"moov", b"trak", b"mdia", b"minf", b"stbl")
# An avc1 sample entry's own fields come before its child boxes (ISO/IEC
# 14496-12 VisualSampleEntry, 78 bytes after the 8-byte box header).
AVC1_FIELDS = 78
# The stsd box: version, flags and an entry count before its entries.
STSD_FIELDS = 8


class BoxError(ValueError):
    pass


def boxes(data, start=0, end=None):
    """(type, offset, size) of each box between start and end, in order."""
    end = len(data) if end is None else end
    offset = start
    while offset < end:
        if end - offset < 8:
            raise BoxError("a box header is cut at byte %d" % offset)
        size, kind = struct.unpack_from(">I4s", data, offset)
        header = 8
        if size == 1:
            if end - offset < 16:
                raise BoxError("a large box header is cut at byte %d" % offset)
            (size,) = struct.unpack_from(">Q", data, offset + 8)
            header = 16
        elif size == 0:
            size = end - offset
        if size < header or offset + size > end:
            raise BoxError("the %s box at byte %d claims %d bytes" % (kind.decode("latin-1"), offset, size))
        yield kind, offset, size
        offset += size


def top_level_boxes(path):
    with open(path, "rb") as source:
        data = source.read()
    return list(boxes(data))


def find_box(data, kind, start, end):
    """The first box of a kind between start and end: (offset, size)."""
    for found, offset, size in boxes(data, start, end):
        if found == kind:
            return offset, size
    raise BoxError("no %s box" % kind.decode("latin-1"))


def avc_codec(path):
    """The RFC 6381 name of the first H.264 stream in a file: avc1.PPCCLL."""
    with open(path, "rb") as source:
        data = source.read()
    start, end = 0, len(data)
    for container in CONTAINERS:
        offset, size = find_box(data, container, start, end)
        start, end = offset + 8, offset + size
    offset, size = find_box(data, b"stsd", start, end)
    offset, size = find_box(data, b"avc1", offset + 8 + STSD_FIELDS, offset + size)
    offset, size = find_box(data, b"avcC", offset + 8 + AVC1_FIELDS, offset + size)
    if size < 12:
        raise BoxError("the avcC box is too short")
    profile, compatibility, level = data[offset + 9:offset + 12]
    return "avc1.%02x%02x%02x" % (profile, compatibility, level)


def subsegment_count(path, sidx_offset):
    """How many subsegments the sidx box at an offset lists."""
    with open(path, "rb") as source:
        source.seek(sidx_offset)
        header = source.read(8 + 4 + 4 + 4 + 16 + 4)
    if len(header) < 28 or header[4:8] != b"sidx":
        raise BoxError("no sidx box at byte %d" % sidx_offset)
    # Version 0 has 32-bit times and offsets, version 1 64-bit ones.
    count_at = 8 + 4 + 4 + 4 + (8 if header[8] == 0 else 16) + 2
    if len(header) < count_at + 2:
        raise BoxError("the sidx box is cut")
    return struct.unpack_from(">H", header, count_at)[0]

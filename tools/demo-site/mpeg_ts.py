"""Just enough of MPEG-TS to find the keyframes in the demo's own segments,
for the byte ranges of an I-frame playlist."""

PACKET = 188
SYNC = 0x47
# The random access indicator of a packet's adaptation field: set by ffmpeg's
# muxer on the first packet of a keyframe.
RANDOM_ACCESS = 0x40


class TsError(ValueError):
    pass


def packets(data):
    """(offset, pid, starts a PES packet, random access) of every packet."""
    if len(data) % PACKET:
        raise TsError("%d bytes are not whole packets" % len(data))
    for offset in range(0, len(data), PACKET):
        if data[offset] != SYNC:
            raise TsError("no sync byte at %d" % offset)
        pid = ((data[offset + 1] & 0x1F) << 8) | data[offset + 2]
        starts = bool(data[offset + 1] & 0x40)
        adaptation = (data[offset + 3] >> 4) & 0x2
        random_access = bool(adaptation and data[offset + 4] > 0 and data[offset + 5] & RANDOM_ACCESS)
        yield offset, pid, starts, random_access


def keyframe_ranges(path, pid):
    """(start, end) of each keyframe's PES packet of one stream: from its first
    TS packet to the first of the next PES packet of the stream (or the end)."""
    with open(path, "rb") as source:
        data = source.read()
    ranges, open_start = [], None
    for offset, found, starts, random_access in packets(data):
        if found != pid or not starts:
            continue
        if open_start is not None:
            ranges.append((open_start, offset))
            open_start = None
        if random_access:
            open_start = offset
    if open_start is not None:
        ranges.append((open_start, len(data)))
    return ranges

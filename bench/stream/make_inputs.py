#!/usr/bin/env python3
"""Makes the inputs of the stream benchmark in a folder, once (a later run
that finds them complete does nothing):

  segments/seg-N.ts  120 one-second MPEG-TS segments (N = 0..119) of a
                     640x360 clip with sound, encoded once by ffmpeg
  vod.m3u8           the 120 segments: a finished two-minute video
  master.m3u8        one variant, vod.m3u8, as a page would offer it
  hour.m3u8          a finished one-hour video: 3600 segment lines generated,
                     not encoded, that go through the 120 segments 30 times,
                     an EXT-X-DISCONTINUITY wherever they start again (their
                     timestamps do)
  inputs.json        what was made, written last

Usage: make_inputs.py --out DIR
Then: serve.py --root DIR --latency-ms 30 --port-file FILE, and fetch
http://127.0.0.1:PORT/vod.m3u8 (or master.m3u8, hour.m3u8).
"""

import argparse
import json
import os
import shutil
import subprocess
import sys

SEGMENTS = 120
SEGMENT_SECONDS = 1
FRAME_RATE = 25
HOUR_SEGMENTS = 3600
INPUTS_FORMAT = 1
DESCRIPTION = {"format": INPUTS_FORMAT, "segments": SEGMENTS, "segment_seconds": SEGMENT_SECONDS,
               "size": "640x360", "hour_segments": HOUR_SEGMENTS}


def encode_segments(folder):
    """The clip, cut as ffmpeg's hls muxer cuts it: a keyframe every second,
    so every segment is one second long."""
    os.makedirs(folder)
    keyframes = str(FRAME_RATE * SEGMENT_SECONDS)
    subprocess.run([
        "ffmpeg", "-hide_banner", "-nostdin", "-loglevel", "error", "-y",
        "-f", "lavfi", "-i", "testsrc2=size=640x360:rate=%d:duration=%d" % (FRAME_RATE, SEGMENTS * SEGMENT_SECONDS),
        "-f", "lavfi", "-i", "sine=frequency=440:sample_rate=48000:duration=%d" % (SEGMENTS * SEGMENT_SECONDS),
        "-c:v", "libx264", "-preset", "superfast", "-b:v", "500k", "-pix_fmt", "yuv420p",
        "-g", keyframes, "-keyint_min", keyframes, "-sc_threshold", "0", "-c:a", "aac", "-b:a", "64k",
        "-f", "hls", "-hls_time", str(SEGMENT_SECONDS), "-hls_playlist_type", "vod",
        "-hls_segment_filename", os.path.join(folder, "seg-%d.ts"), os.path.join(folder, "cut.m3u8")],
        check=True)
    os.remove(os.path.join(folder, "cut.m3u8"))
    made = len([n for n in os.listdir(folder) if n.endswith(".ts")])
    if made != SEGMENTS:
        raise RuntimeError("ffmpeg cut %d segments, not %d" % (made, SEGMENTS))


def playlist(count, discontinuity_every=None):
    """A finished media playlist of count segment lines over the real
    segments, in turn."""
    lines = ["#EXTM3U", "#EXT-X-VERSION:3", "#EXT-X-TARGETDURATION:%d" % SEGMENT_SECONDS,
             "#EXT-X-MEDIA-SEQUENCE:0", "#EXT-X-PLAYLIST-TYPE:VOD"]
    for i in range(count):
        if discontinuity_every and i and i % discontinuity_every == 0:
            lines.append("#EXT-X-DISCONTINUITY")
        lines += ["#EXTINF:%.6f," % SEGMENT_SECONDS, "segments/seg-%d.ts" % (i % SEGMENTS)]
    lines.append("#EXT-X-ENDLIST")
    return "\n".join(lines) + "\n"


def write(path, text):
    with open(path + ".tmp", "w", encoding="utf-8") as out:
        out.write(text)
    os.replace(path + ".tmp", path)


def made_already(out):
    try:
        with open(os.path.join(out, "inputs.json"), encoding="utf-8") as source:
            return json.load(source) == DESCRIPTION
    except (OSError, ValueError):
        return False


def make(out):
    if made_already(out):
        return
    os.makedirs(out, exist_ok=True)
    segments = os.path.join(out, "segments")
    shutil.rmtree(segments, ignore_errors=True)
    encode_segments(segments)
    write(os.path.join(out, "vod.m3u8"), playlist(SEGMENTS))
    write(os.path.join(out, "master.m3u8"), "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=700000,"
          "RESOLUTION=640x360,CODECS=\"avc1.64001e,mp4a.40.2\"\nvod.m3u8\n")
    write(os.path.join(out, "hour.m3u8"), playlist(HOUR_SEGMENTS, discontinuity_every=SEGMENTS))
    write(os.path.join(out, "inputs.json"), json.dumps(DESCRIPTION, indent=1) + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True, help="the folder of the inputs")
    args = parser.parse_args()
    try:
        make(args.out)
    except (OSError, RuntimeError, subprocess.CalledProcessError) as error:
        sys.exit("make_inputs.py: %s" % error)
    print(os.path.abspath(args.out))


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""The demo site's videos streamed in pieces (HLS and DASH), made with the
ffmpeg command from a generated clip, and the facts that a test checks a
saved file against (facts.json beside them).

Making them takes several seconds, so they are made once for each version of
the scripts that make them, in $XDG_CACHE_HOME/skerrow/demo-streams-HASH
(~/.cache when the variable is unset): in a temporary folder beside that one,
renamed into place once complete, under a lock, so that sites started side
by side (tests run in parallel) make them once and never see half of them.

Usage: streams.py [--streams-dir DIR]   makes the streams unless they are
                                        there; prints their folder
       streams.py --video-md5 FILE      the md5 of a file's decoded video
       streams.py --audio-md5 FILE      ... and of its audio, as facts.json
                                        gives them
"""

import argparse
import concurrent.futures
import fcntl
import glob
import hashlib
import json
import os
import shutil
import sys
import tempfile
import time

import dash_streams
import hls_streams
import mp4_boxes
import stream_media as media

HERE = os.path.dirname(os.path.abspath(__file__))
# What the streams are made by: a change to any of these makes them anew.
MAKERS = ["streams.py", "stream_media.py", "hls_streams.py", "dash_streams.py", "mp4_boxes.py", "mpeg_ts.py"]
FACTS_FORMAT = 1
SIDE_BY_SIDE = 3


class Sources:
    """The clip's encodes in a work folder, and the facts of what they decode
    to (found while the streams are cut from them)."""

    def __init__(self, folder):
        self.folder = folder
        self._pool = concurrent.futures.ThreadPoolExecutor(max_workers=1)
        self._decoded = None
        self._codecs = {}

    def encode(self):
        media.encode_sources(self.folder)
        jobs = {"video-%d" % h: (self.video(h), "v") for _, h, _ in media.SIZES}
        jobs.update({"audio-" + language: (self.audio(language), "a") for language in media.TONES})
        self._decoded = self._pool.submit(media.decoded_facts, jobs)

    def close(self):
        self._pool.shutdown()

    def video(self, height):
        return os.path.join(self.folder, media.video_name(height))

    def audio(self, language):
        return os.path.join(self.folder, media.audio_name(language))

    def second_clip(self):
        return os.path.join(self.folder, media.SECOND_CLIP)

    def video_facts(self, height):
        width = next(w for w, h, _ in media.SIZES if h == height)
        return {"width": width, "height": height, **self._decoded.result()["video-%d" % height]}

    def audio_facts(self, language):
        return {"language": language, "tone_hz": media.TONES[language],
                "md5": self._decoded.result()["audio-" + language]["md5"]}

    def codec(self, height):
        if height not in self._codecs:
            self._codecs[height] = mp4_boxes.avc_codec(self.video(height))
        return self._codecs[height]


def makers_hash():
    digest = hashlib.sha256()
    for name in MAKERS:
        with open(os.path.join(HERE, name), "rb") as source:
            digest.update(source.read())
    return digest.hexdigest()[:16]


def default_folder():
    cache = os.environ.get("XDG_CACHE_HOME") or os.path.join(os.path.expanduser("~"), ".cache")
    return os.path.join(cache, "skerrow", "demo-streams-" + makers_hash())


def make_streams(folder):
    """Every stream and facts.json, in folder (which exists and is empty)."""
    started = time.monotonic()
    work = os.path.join(folder, "work")
    os.makedirs(work)
    sources = Sources(work)
    try:
        sources.encode()
        steps = hls_streams.makers(folder, sources, work) + dash_streams.makers(folder, sources)
        # Most of a step is starting ffmpeg and waiting for the disk: side
        # by side they are done sooner even on a busy machine.
        with concurrent.futures.ThreadPoolExecutor(max_workers=SIDE_BY_SIDE) as pool:
            streams = {}
            for facts in pool.map(lambda step: step(), steps):
                streams.update(facts)
    finally:
        sources.close()
    shutil.rmtree(work)
    facts = {"format": FACTS_FORMAT, "made_by": "streams.py " + makers_hash(),
             "clip": {"seconds": media.SECONDS, "frame_rate": media.FRAME_RATE,
                      "sizes": ["%dx%d" % (w, h) for w, h, _ in media.SIZES], "languages": list(media.TONES)},
             "making_seconds": round(time.monotonic() - started, 1), "streams": streams}
    with open(os.path.join(folder, "facts.json"), "w", encoding="utf-8") as out:
        json.dump(facts, out, indent=1, sort_keys=True, ensure_ascii=False)


def place(folder=None):
    """Where the streams are: the folder asked for, or the cache's."""
    return os.path.abspath(folder or default_folder())


def ensure(folder=None, make=make_streams):
    """The folder of the streams, made first unless it is there."""
    folder = place(folder)
    if os.path.isdir(folder):
        return folder
    parent, name = os.path.split(folder)
    os.makedirs(parent, exist_ok=True)
    with open(folder + ".lock", "a") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if os.path.isdir(folder):
            return folder
        # Only a holder of the lock makes a temporary folder: one found now
        # was left by a maker that died.
        for leftover in glob.glob(os.path.join(parent, "." + glob.escape(name) + "-*")):
            shutil.rmtree(leftover, ignore_errors=True)
        temporary = tempfile.mkdtemp(prefix="." + name + "-", dir=parent)
        try:
            make(temporary)
            os.rename(temporary, folder)
        except BaseException:
            shutil.rmtree(temporary, ignore_errors=True)
            raise
    return folder


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--streams-dir", help="the streams' folder (default: in the user's cache)")
    parser.add_argument("--video-md5", metavar="FILE", help="print the md5 of a file's decoded video")
    parser.add_argument("--audio-md5", metavar="FILE", help="print the md5 of a file's decoded audio")
    args = parser.parse_args()
    try:
        if args.video_md5:
            print(media.video_md5(args.video_md5))
        elif args.audio_md5:
            print(media.audio_md5(args.audio_md5))
        else:
            print(ensure(args.streams_dir))
    except (media.MediaError, OSError, ValueError) as error:
        sys.exit("streams.py: %s" % error)


if __name__ == "__main__":
    main()

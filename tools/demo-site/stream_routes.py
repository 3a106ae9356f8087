"""The demo site's streams on the web: /streams/PATH serves the folder that
streams.py makes (waiting for it while it is made), with the knobs of
stream_knobs.py; /moved/NAME.m3u8 and /moved/NAME.mpd send a stream's
playlist on with a redirect, from an address whose relative addresses lead
nowhere, so a reader must read them against the final address."""

import os
import subprocess
import sys
import threading
import time
import urllib.parse

import served_files
import stream_knobs
import streams

PLAYLISTS = {".m3u8": stream_knobs.playlist_with_query, ".mpd": stream_knobs.manifest_with_query}
# Not pieces: fail and cut leave them alone.
NOT_PIECES = (".m3u8", ".mpd", ".key", ".json")
# The longest a request waits for the streams to be made.
MAKING_WAIT_SECONDS = 600


class StreamShelf:
    """The streams' folder, found in the cache at start or made in the
    background; requests wait for it."""

    def __init__(self, folder=None):
        self.place = streams.place(folder)
        self.files = None
        self.failure = None
        self.sessions = stream_knobs.Sessions()
        self._ready = threading.Event()

    def start(self, announce):
        threading.Thread(target=self._make, args=(announce,), daemon=True).start()

    def _make(self, announce):
        try:
            if not os.path.isdir(self.place):
                make_apart(self.place)
            self.files = served_files.Folder(self.place)
            announce("Streams ready in %s" % self.place)
        except (OSError, RuntimeError) as error:
            self.failure = "The demo streams could not be made: %s" % error
            print("demo-site: " + self.failure, file=sys.stderr, flush=True)
        finally:
            self._ready.set()

    def wait(self):
        self._ready.wait(MAKING_WAIT_SECONDS)
        return self.files


def make_apart(folder):
    """Runs streams.py in a session of its own: the streams are made to the
    end even when this site is stopped meanwhile (a test that is over before
    they are), so that no later start begins again."""
    done = subprocess.run([sys.executable, streams.__file__, "--streams-dir", folder], start_new_session=True,
                          stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    if done.returncode != 0:
        raise RuntimeError(done.stderr.decode(errors="replace").strip()[-2000:] or "streams.py failed")


def answer_stream(handler, shelf, url):
    files = shelf.wait()
    if files is None:
        served_files.send_bytes(handler, 503, (shelf.failure or "Still making the streams").encode(), "text/plain")
        return
    relative = urllib.parse.unquote(url.path[len("/streams/"):])
    path = files.find(relative)
    if path is None:
        served_files.send_bytes(handler, 404, b"No such stream file", "text/plain")
        return
    try:
        knobs = stream_knobs.Knobs(url.query)
    except stream_knobs.KnobError as error:
        served_files.send_bytes(handler, 400, str(error).encode(), "text/plain")
        return
    time.sleep(knobs.delay_ms / 1000)
    data, etag = files.read(path)
    extension = os.path.splitext(relative)[1]
    action = None
    if extension in PLAYLISTS and url.query:
        data = PLAYLISTS[extension](data.decode("utf-8"), url.query).encode("utf-8")
        etag = served_files.strong_etag(data)
    elif extension not in NOT_PIECES:
        piece = (relative, handler.headers.get("Range"))
        action = shelf.sessions.decide(url.query, knobs, piece, os.path.basename(relative))
    if action == "fail":
        served_files.send_bytes(handler, 503, b"Try again", "text/plain")
        return
    served_files.send_file(handler, data, served_files.content_type(relative), etag, cut=action == "cut")


def moved_target(shelf, name):
    """The playlist that /moved/NAME sends to, or None."""
    folder, extension = os.path.splitext(name)
    candidates = {".m3u8": ("master.m3u8", "index.m3u8"), ".mpd": ("manifest.mpd",)}.get(extension, ())
    files = shelf.wait()
    for candidate in candidates:
        if "/" not in folder and files is not None and files.find(folder + "/" + candidate):
            return "/streams/%s/%s" % (folder, candidate)
    return None


def answer_moved(handler, shelf, url):
    target = moved_target(shelf, urllib.parse.unquote(url.path[len("/moved/"):]))
    if target is None:
        served_files.send_bytes(handler, 404, b"No such stream", "text/plain")
        return
    location = target + ("?" + url.query if url.query else "")
    served_files.send_bytes(handler, 302, b"", "text/plain", [("Location", location)])

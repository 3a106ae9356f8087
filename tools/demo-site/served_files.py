"""Files served as a server of stream pieces serves them: a type that goes by
the name, byte ranges, a strong ETag, and answers with a length, so that the
connection stays open for the next piece. The demo site serves its streams
with it, and the benchmarks' server (bench/stream/serve.py) its inputs."""

import hashlib
import os
import re
import threading

TYPES = {
    ".m3u8": "application/vnd.apple.mpegurl",
    ".mpd": "application/dash+xml",
    ".ts": "video/mp2t",
    ".m4s": "video/mp4",
    ".mp4": "video/mp4",
    ".m4a": "audio/mp4",
    ".key": "application/octet-stream",
    ".json": "application/json",
}
# Pieces of fragmented MP4 that hold audio: their file or folder says so.
AUDIO_PIECES = (".m4s", ".mp4")
# Nothing the demo or the benchmarks serve comes near this; a larger file is
# not read into memory.
MOST_BYTES = 256 * 1024 * 1024
# bytes=FIRST-LAST, bytes=FIRST- or bytes=-SUFFIX; a list of ranges is
# answered with the whole file, as a server may.
RANGE = re.compile(r"^bytes=(\d{0,15})-(\d{0,15})$")


def content_type(relative):
    extension = os.path.splitext(relative)[1].lower()
    if extension in AUDIO_PIECES and any(part.startswith("audio") for part in relative.split("/")[-2:]):
        return "audio/mp4"
    return TYPES.get(extension, "application/octet-stream")


def strong_etag(data):
    return '"%s"' % hashlib.sha256(data).hexdigest()[:32]


class Folder:
    """A folder whose files do not change while they are served."""

    def __init__(self, root):
        self.root = os.path.realpath(root)
        self._etags = {}
        self._lock = threading.Lock()

    def find(self, relative):
        """The file at a relative path, or None: nothing outside the folder."""
        if "\0" in relative or relative.startswith("/"):
            return None
        path = os.path.realpath(os.path.join(self.root, relative))
        if not path.startswith(self.root + os.sep) or not os.path.isfile(path):
            return None
        return path

    def read(self, path):
        """The bytes of a file found by find(), and their ETag."""
        if os.path.getsize(path) > MOST_BYTES:
            raise OSError("%s is larger than %d bytes" % (path, MOST_BYTES))
        with open(path, "rb") as source:
            data = source.read()
        with self._lock:
            if path not in self._etags:
                self._etags[path] = strong_etag(data)
            return data, self._etags[path]


def requested_range(headers, size, etag):
    """(first, end) of the bytes asked for, end excluded; None for the whole
    file; "unsatisfiable" for a range that starts beyond its end."""
    asked = headers.get("Range")
    if asked is None:
        return None
    condition = headers.get("If-Range")
    if condition is not None and condition != etag:
        return None
    match = RANGE.match(asked.strip())
    if not match or match.groups() == ("", ""):
        return None
    first, last = match.groups()
    if first == "":
        suffix = int(last)
        return (max(0, size - suffix), size) if suffix else "unsatisfiable"
    first = int(first)
    if last != "" and int(last) < first:
        return None
    if first >= size:
        return "unsatisfiable"
    return first, size if last == "" else min(size, int(last) + 1)


def send_bytes(handler, status, body, content_type, headers=(), cut=False):
    """An answer with its length, so the connection stays open. cut: the body
    stops half-way and the connection closes, as if the network had failed."""
    handler.send_response(status)
    handler.send_header("Content-Type", content_type)
    handler.send_header("Content-Length", str(len(body)))
    for name, value in headers:
        handler.send_header(name, value)
    handler.end_headers()
    if handler.command != "HEAD":
        handler.wfile.write(body[:len(body) // 2] if cut else body)
    if cut:
        handler.wfile.flush()
        handler.close_connection = True
        # Over TLS too the answer ends as if cut on the way, without a goodbye.
        handler.cut_short = True


def send_file(handler, data, content_type, etag, cut=False):
    """Answers a GET or a HEAD with the data or the range of it that was
    asked for (cut: see send_bytes)."""
    headers = [("Accept-Ranges", "bytes"), ("ETag", etag)]
    wanted = requested_range(handler.headers, len(data), etag)
    if wanted == "unsatisfiable":
        send_bytes(handler, 416, b"", "text/plain", headers + [("Content-Range", "bytes */%d" % len(data))])
        return
    status = 200
    if wanted is not None:
        first, end = wanted
        headers.append(("Content-Range", "bytes %d-%d/%d" % (first, end - 1, len(data))))
        data, status = data[first:end], 206
    send_bytes(handler, status, data, content_type, headers, cut)

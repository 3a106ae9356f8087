"""The knobs a test turns on the demo's streams, in the query of a playlist's
address (/streams/hls/master.m3u8?fail=2):

  fail=N     every N-th request for a piece (a segment, an init section, a
             range of a single file) answers 503, but never twice for the
             same piece: asked again, it is served
  cut=NAME   the piece whose file is named NAME stops half-way, once, and its
             connection closes
  delay=MS   every request waits MS milliseconds before it is answered

A playlist asked for with a query carries that query on to every address in
it, so the knobs follow a download down to its keys and pieces. What fail and
cut remember is kept for each query apart: another parameter (&run=7) starts
afresh."""

import collections
import re
import threading
import urllib.parse
from xml.sax.saxutils import escape

MOST_FAIL = 1000
MOST_DELAY_MS = 10000
MOST_NAME = 200
# The queries remembered; the oldest is forgotten first.
MOST_SESSIONS = 500


class KnobError(ValueError):
    pass


class Knobs:
    def __init__(self, query):
        fields = urllib.parse.parse_qs(query, keep_blank_values=True)
        self.fail = self.number(fields, "fail", 1, MOST_FAIL)
        self.delay_ms = self.number(fields, "delay", 0, MOST_DELAY_MS) or 0
        self.cut = fields.get("cut", [None])[-1]
        if self.cut is not None and not 0 < len(self.cut) <= MOST_NAME:
            raise KnobError("cut names a file of 1 to %d characters" % MOST_NAME)

    @staticmethod
    def number(fields, name, least, most):
        if name not in fields:
            return None
        text = fields[name][-1]
        if not re.fullmatch(r"[0-9]{1,6}", text) or not least <= int(text) <= most:
            raise KnobError("%s is a whole number from %d to %d" % (name, least, most))
        return int(text)


class Session:
    def __init__(self):
        self.requests = 0
        self.failed = set()
        self.cut = set()


class Sessions:
    """What fail and cut remember, for each query."""

    def __init__(self):
        self._sessions = collections.OrderedDict()
        self._lock = threading.Lock()

    def decide(self, query, knobs, piece, name):
        """"fail", "cut" or None for a request of a piece (its path and the
        range asked) whose file is named name."""
        if knobs.fail is None and knobs.cut is None:
            return None
        with self._lock:
            session = self._sessions.pop(query, None) or Session()
            self._sessions[query] = session
            while len(self._sessions) > MOST_SESSIONS:
                self._sessions.popitem(last=False)
            session.requests += 1
            if knobs.fail and session.requests % knobs.fail == 0 and piece not in session.failed:
                session.failed.add(piece)
                return "fail"
            if knobs.cut == name and name not in session.cut:
                session.cut.add(name)
                return "cut"
        return None


def with_query(address, query):
    return address + ("&" if "?" in address else "?") + query


# An address in a playlist: a line of its own, or a URI="..." attribute.
URI_ATTRIBUTE = re.compile(r'URI="([^"]*)"')
# The addresses of a manifest: the templates' and lists' attributes, and
# BaseURLs that name a file (one that names a folder is joined with the
# addresses below it, which carry the query themselves).
MPD_ATTRIBUTE = re.compile(r'\b(media|initialization|sourceURL|index)="([^"]*)"')
MPD_FILE_BASE = re.compile(r"<BaseURL>([^<]*[^</])</BaseURL>")


def playlist_with_query(text, query):
    lines = []
    for line in text.split("\n"):
        if line.startswith("#"):
            line = URI_ATTRIBUTE.sub(lambda m: 'URI="%s"' % with_query(m.group(1), query), line)
        elif line.strip():
            line = with_query(line.rstrip("\r"), query) + ("\r" if line.endswith("\r") else "")
        lines.append(line)
    return "\n".join(lines)


def manifest_with_query(text, query):
    # The query goes into XML: its & is written &amp;.
    query = escape(query, {'"': "&quot;"})
    text = MPD_ATTRIBUTE.sub(lambda m: '%s="%s"' % (m.group(1), with_query(m.group(2), query)), text)
    return MPD_FILE_BASE.sub(lambda m: "<BaseURL>%s</BaseURL>" % with_query(m.group(1), query), text)

#!/usr/bin/env python3
"""A stand-in for the old video site, on loopback, for trying Skerrow out and
for its end-to-end tests.

It answers what Skerrow asks of the site:
  /watch?v=ID              the watch page, reached through redirects that set
                           cookies (a visit without them is sent to /consent)
  /consent?next=PATH       sets the visitor cookie and redirects back
  /get_video_info?video_id=ID
                           the video-information record: "&"-separated fields
                           with the token, the title (percent-encoded, "+" for
                           blanks) and the format list
  /get_video?video_id=ID&fmt=N&t=TOKEN
                           the stream, after checking token and format
  /files/NAME              a video's file for a direct link (and one "video"
                           link that leads to a web page instead)
  /pages/NAME              ordinary web pages that show a video in the ways
                           pages do (Open Graph tags, <video src>, several
                           <source> elements with and without sizes, JSON-LD),
                           pages that stream it in pieces (HLS, DASH; a live
                           one and a protected one among them), and one
                           without any video
  /play?file=NAME          a file's video at an address that does not say so
  /streams/PATH            videos streamed in pieces, HLS and DASH, made with
                           ffmpeg at the first start (streams.py) and served
                           as a CDN serves them (byte ranges, ETags, kept-alive
                           connections); the query knobs ?fail=N, ?cut=NAME
                           and ?delay=MS make them falter (stream_knobs.py)
  /moved/NAME.m3u8, /moved/NAME.mpd
                           a redirect to the stream NAME's playlist

The port speaks http and https alike: the site makes a small certificate
authority of its own at start (certificates.py, with the openssl command) and
shows a certificate for 127.0.0.1 and localhost signed by it; --ca-file
writes the authority's certificate where a client can be told to trust it.

Standard library only, besides the openssl and ffmpeg commands.
Usage: demo_site.py [--port N] [--port-file FILE] [--ca-file FILE]
                    [--streams-dir DIR]
"""

import argparse
import hashlib
import http.cookies
import http.server
import os
import shutil
import signal
import socket
import ssl
import sys
import tempfile
import time
import urllib.parse

import certificates
import served_files
import stream_routes

TOKEN_PREFIX = "vjVQa1PpcFO"


class Video:
    def __init__(self, vid, title, size, formats=("18", "22"), fmt_map=True,
                 token="normal", stream="length", rate=0, page_delay=0):
        self.vid = vid
        self.title = title            # as a person reads it
        self.size = size              # bytes of every stream of the video
        self.formats = formats        # format codes served besides "normal"
        self.fmt_map = fmt_map        # whether the record lists the formats
        self.token = token            # normal, missing or last
        self.stream = stream          # length, close (no length) or truncated
        self.rate = rate              # bytes per second, 0 for as fast as possible
        self.page_delay = page_delay  # seconds the watch page takes to answer

    def token_value(self):
        return TOKEN_PREFIX + hashlib.sha1(self.vid.encode()).hexdigest()[:20] + "%3D"


MIB = 1024 * 1024
VIDEOS = {v.vid: v for v in [
    Video("seastack01", "Sea stacks at dawn", 3 * MIB),
    Video("harbour202", "Harbour walk: gulls & boats", 5 * MIB // 2, formats=("18",)),
    Video("rockroll33", "Rock & Roll: Live!", 1 * MIB),
    Video("plainflv44", "Plain old clip", 700 * 1024, fmt_map=False),
    Video("bigwaves55", "Big waves (long)", 64 * MIB),
    Video("nolength66", "Stream without a length", 2 * MIB, stream="close"),
    Video("slowtide77", "Slow tide", 2 * MIB, rate=256 * 1024),
    Video("cutshort88", "Cut short", 2 * MIB, stream="truncated"),
    Video("notoken099", "No token here", 1 * MIB, token="missing"),
    Video("lasttok100", "Token at the end", 1 * MIB, token="last"),
    Video("slowpage12", "A slow watch page", 1 * MIB, page_delay=8),
]}


# Files for direct links: the name, then the video and format whose stream
# it holds; None for the link that answers with a web page.
FILES = {
    "harbour-walk.mp4": ("harbour202", "18"),
    "Rock & Roll (live).webm": ("rockroll33", "22"),
    "landing.mp4": None,
    # The videos of the ordinary pages.
    "talk.mp4": ("seastack01", "22"),
    "gallery-240.mp4": ("rockroll33", "17"),
    "gallery-360.mp4": ("rockroll33", "18"),
    "gallery-720.mp4": ("rockroll33", "22"),
    "gallery-1080.webm": ("rockroll33", "1080"),
    "formats.webm": ("plainflv44", "webm"),
    "formats.mp4": ("plainflv44", "18"),
    "museum.mp4": ("harbour202", "museum"),
}
PAGES_FOLDER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "pages")
# The ordinary pages as ./run lists them.
PAGES = [
    ("talk.html", "Open Graph tags"),
    ("harbour.html", "a <video src>"),
    ("gallery.html", "four sizes: the quality buttons choose"),
    ("formats.html", "WebM and MP4 sources"),
    ("museum.html", "JSON-LD"),
    ("about.html", "no video"),
    ("tide-pools.html", "HLS in a <video src>: three sizes, two languages"),
    ("kelp.html", "DASH with a SegmentTimeline in a <source>"),
    ("lights.html", "Open Graph tags to HLS encrypted with AES-128"),
    ("seabirds.html", "JSON-LD to DASH with $Number$"),
    ("live.html", "HLS in fragmented MP4"),
    ("ranges.html", "HLS in one file, by byte ranges"),
    ("two-clips.html", "HLS with a discontinuity"),
    ("indexed.html", "DASH with SegmentBase"),
    ("keynote.html", "an MP4 and an HLS stream of one size: the file wins"),
    ("on-air.html", "a live stream: refused"),
    ("members.html", "streams protected by DRM: refused"),
]
# The streams' playlists as ./run lists them, by their path under /streams/.
STREAM_LINKS = [
    ("hls/master.m3u8", "HLS: three sizes in MPEG-TS, two languages in an audio group"),
    ("hls-fmp4/master.m3u8", "HLS in fragmented MP4"),
    ("hls-aes/master.m3u8", "HLS encrypted with AES-128, the key changing"),
    ("hls-single/index.m3u8", "HLS in one file, by byte ranges"),
    ("hls-discontinuity/index.m3u8", "HLS with a discontinuity"),
    ("dash/manifest.mpd", "DASH with a SegmentTimeline ($Time$)"),
    ("dash-number/manifest.mpd", "DASH with $Number$"),
    ("dash-base/manifest.mpd", "DASH with SegmentBase"),
    ("hls-live/master.m3u8", "live HLS: refused"),
    ("hls-drm/master.m3u8", "HLS with SAMPLE-AES: refused"),
    ("dash-live/manifest.mpd", "live DASH: refused"),
    ("dash-drm/manifest.mpd", "DASH with ContentProtection: refused"),
]
FILE_TYPES = {".mp4": "video/mp4", ".webm": "video/webm"}


def file_address(base, name):
    return base + "/files/" + urllib.parse.quote(name)


def quote_title(title):
    return urllib.parse.quote_plus(title, safe="")


def record(video):
    fields = [("status", "ok"), ("author", "skerrowdemo"), ("length_seconds", "42")]
    if video.token == "normal":
        fields.append(("token", video.token_value()))
    fields.append(("title", quote_title(video.title)))
    if video.fmt_map:
        listed = {"22": "22%2F1280x720%2F9%2F0%2F115", "18": "18%2F512000%2F9%2F0%2F115"}
        fmt = "%2C".join(listed[f] for f in ("22", "18") if f in video.formats)
        fields.append(("fmt_map", fmt + "%2C34%2F0%2F9%2F0%2F115%2C5%2F0%2F7%2F0%2F0"))
    fields.append(("video_id", video.vid))
    if video.token == "last":
        fields.append(("token", video.token_value()))
    return "&".join(k + "=" + v for k, v in fields)


def stream_bytes(video, fmt, start, count):
    """Deterministic bytes of a stream: the same address always gives the same file."""
    seed = hashlib.sha256((video.vid + "/" + fmt).encode()).digest()
    block = seed * 32  # 1 KiB pattern
    offset = start % len(block)
    out = bytearray()
    while len(out) < count:
        out += block[offset:]
        offset = 0
    return bytes(out[:count])


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "SkerrowDemo/1.0"
    cut_short = False  # set by a stream that stops short on purpose

    def log_message(self, fmt, *args):
        if self.server.verbose:
            sys.stderr.write("demo-site: " + (fmt % args) + "\n")

    def reply(self, status, body=b"", headers=(), content_type="text/html; charset=utf-8"):
        served_files.send_bytes(self, status, body, content_type, headers)

    def redirect(self, status, location, cookie=None):
        headers = [("Location", location)]
        if cookie:
            headers.append(("Set-Cookie", cookie))
        self.reply(status, b"", headers)

    def cookies(self):
        jar = http.cookies.SimpleCookie()
        for header in self.headers.get_all("Cookie") or []:
            jar.load(header)
        return {k: m.value for k, m in jar.items()}

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query, keep_blank_values=True)
        routes = {"/": self.home, "/watch": self.watch, "/consent": self.consent,
                  "/get_video_info": self.video_info, "/get_video": self.video, "/play": self.play}
        prefixes = {"/files/": self.file, "/pages/": self.page, "/streams/": self.stream, "/moved/": self.moved}
        route = next((r for prefix, r in prefixes.items() if url.path.startswith(prefix)), routes.get(url.path))
        if route is None:
            self.reply(404, b"<h1>Not Found</h1>")
            return
        route(url, query)

    do_HEAD = do_GET

    def home(self, url, query):
        items = "".join('<li><a href="/watch?v=%s">%s</a></li>' % (v.vid, v.title) for v in VIDEOS.values())
        self.reply(200, ("<h1>Skerrow demo site</h1><ul>%s</ul>" % items).encode())

    def watch(self, url, query):
        vid = query.get("v", [""])[0]
        video = VIDEOS.get(vid)
        if video is None:
            self.reply(404, b"<h1>This video does not exist.</h1>")
            return
        cookies = self.cookies()
        if "PREF" not in cookies:
            # First visit: a preference cookie, then the consent page.
            next_path = urllib.parse.quote(url.path + "?" + url.query, safe="")
            self.redirect(303, "/consent?next=" + next_path, "PREF=f1=50000000; path=/")
            return
        if "VISITOR" not in cookies:
            self.redirect(302, "/consent?next=" + urllib.parse.quote(url.path + "?" + url.query, safe=""))
            return
        time.sleep(video.page_delay)
        page = "<html><head><title>%s</title></head><body><h1>%s</h1></body></html>" % (video.title, video.title)
        self.reply(200, page.encode())

    def consent(self, url, query):
        target = query.get("next", ["/"])[0]
        if not target.startswith("/"):
            target = "/"
        self.redirect(302, target, "VISITOR=demo%d; path=/" % int(time.time()))

    def video_info(self, url, query):
        vid = query.get("video_id", [""])[0]
        video = VIDEOS.get(vid)
        if video is None:
            self.reply(200, b"status=fail&errorcode=100&reason=Invalid+parameters.", content_type="text/plain")
            return
        self.reply(200, record(video).encode(), content_type="application/x-www-form-urlencoded")

    def video(self, url, query):
        video = VIDEOS.get(query.get("video_id", [""])[0])
        fmt = query.get("fmt", ["normal"])[0]
        if video is None or query.get("t", [""])[0] != urllib.parse.unquote(video.token_value()):
            self.reply(403, b"<h1>Forbidden</h1>")
            return
        if fmt != "normal" and fmt not in video.formats + ("17",):
            self.reply(404, b"<h1>No such format</h1>")
            return
        self.send_stream(video, fmt)

    def file(self, url, query):
        name = urllib.parse.unquote(url.path[len("/files/"):])
        if name not in FILES:
            self.reply(404, b"<h1>No such file</h1>")
            return
        if FILES[name] is None:
            self.reply(200, b"<html><body><h1>Watch it on our player!</h1></body></html>")
            return
        self.send_file(name)

    def play(self, url, query):
        name = query.get("file", [""])[0]
        if not FILES.get(name):
            self.reply(404, b"<h1>No such file</h1>")
            return
        self.send_file(name)

    def send_file(self, name):
        vid, fmt = FILES[name]
        self.send_stream(VIDEOS[vid], fmt, FILE_TYPES[os.path.splitext(name)[1]])

    def page(self, url, query):
        name = urllib.parse.unquote(url.path[len("/pages/"):])
        if name not in dict(PAGES):
            self.reply(404, b"<h1>No such page</h1>")
            return
        with open(os.path.join(PAGES_FOLDER, name), encoding="utf-8") as source:
            html = source.read()
        # Open Graph addresses are absolute: the page names the address it
        # was asked at.
        scheme = "https" if isinstance(self.connection, ssl.SSLSocket) else "http"
        origin = "%s://%s" % (scheme, self.headers.get("Host", "127.0.0.1"))
        self.reply(200, html.replace("{origin}", origin).encode())

    def stream(self, url, query):
        stream_routes.answer_stream(self, self.server.streams, url)

    def moved(self, url, query):
        stream_routes.answer_moved(self, self.server.streams, url)

    def send_stream(self, video, fmt, content_type=None):
        self.send_response(200)
        self.send_header("Content-Type", content_type or ("video/mp4" if fmt in ("18", "22") else "video/x-flv"))
        if video.stream == "close":
            self.send_header("Connection", "close")
            self.close_connection = True
        else:
            self.send_header("Content-Length", str(video.size))
        self.end_headers()
        served = video.size // 2 if video.stream == "truncated" else video.size
        chunk = 64 * 1024
        sent = 0
        started = time.monotonic()
        while sent < served:
            step = min(chunk, served - sent)
            self.wfile.write(stream_bytes(video, fmt, sent, step))
            sent += step
            if video.rate:
                ahead = sent / video.rate - (time.monotonic() - started)
                if ahead > 0:
                    time.sleep(ahead)
        if video.stream == "truncated":
            self.close_connection = True
            # Over TLS too the stream ends as if cut on the way.
            self.cut_short = True


class DemoServer(http.server.ThreadingHTTPServer):
    """Both protocols on one port: a TLS client opens with a handshake
    record (its first byte is 0x16), a plain one with a request line."""

    daemon_threads = True

    def __init__(self, address, tls):
        super().__init__(address, Handler)
        self.tls = tls
        self.verbose = False

    def finish_request(self, request, client_address):
        request.settimeout(30)
        try:
            secure = request.recv(1, socket.MSG_PEEK) == b"\x16"
            request.settimeout(None)
            if not secure:
                super().finish_request(request, client_address)
                return
            session = self.tls.wrap_socket(request, server_side=True)
        except (OSError, ssl.SSLError):
            return
        handler = None
        try:
            handler = self.RequestHandlerClass(session, client_address, self)
        except (OSError, ssl.SSLError):
            pass
        finally:
            self.end_session(session, cut_short=handler is not None and handler.cut_short)

    @staticmethod
    def end_session(session, cut_short):
        """A finished answer ends with a close notification; a stream cut on
        purpose just stops."""
        try:
            if not cut_short:
                session.settimeout(2)
                session.unwrap()
        except (OSError, ssl.SSLError, ValueError):
            pass
        session.close()


def tls_context(folder, ca_file):
    """The site's authority and its certificate, made afresh in folder."""
    authority = certificates.make_authority(folder, "skerrow-demo-authority")
    certificate, key = certificates.issue(folder, "skerrow-demo-authority", "site", ["127.0.0.1", "localhost"])
    if ca_file:
        shutil.copyfile(authority, ca_file + ".tmp")
        os.replace(ca_file + ".tmp", ca_file)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(certificate, key)
    return context


def print_addresses(port):
    plain, secure = "http://127.0.0.1:%d" % port, "https://127.0.0.1:%d" % port
    print("Skerrow demo site on %s/ and %s/ ; addresses to paste or copy:" % (plain, secure), flush=True)
    for vid in ("seastack01", "harbour202", "rockroll33", "slowtide77", "slowpage12"):
        print("  %s/watch?v=%s   (%s)" % (plain, vid, VIDEOS[vid].title), flush=True)
    for vid in ("seastack01", "harbour202"):
        print("  %s/watch?v=%s   (%s, over TLS)" % (secure, vid, VIDEOS[vid].title), flush=True)
    print("  %s   (a direct link to a video file)" % file_address(secure, "Rock & Roll (live).webm"), flush=True)
    print("  %s   (a direct link that leads to a web page)" % file_address(secure, "landing.mp4"), flush=True)
    for name, kind in PAGES:
        print("  %s/pages/%s   (an ordinary page: %s)" % (secure, name, kind), flush=True)
    for path, kind in STREAM_LINKS:
        print("  %s/streams/%s   (%s)" % (secure, path, kind), flush=True)
    print("  %s/moved/hls.m3u8   (a redirect to hls/master.m3u8)" % secure, flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=0, help="port on 127.0.0.1 (0: any free one)")
    parser.add_argument("--port-file", help="write the port to this file once listening")
    parser.add_argument("--verbose", action="store_true", help="log every request")
    parser.add_argument("--ca-file", help="write the site's certificate authority to this file")
    parser.add_argument("--streams-dir", help="the streams' folder (default: in the user's cache)")
    args = parser.parse_args()

    # Stopped with SIGTERM as with Ctrl-C, so the authority's folder goes too.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    folder = tempfile.mkdtemp(prefix="skerrow-demo-tls-")
    try:
        server = DemoServer(("127.0.0.1", args.port), tls_context(folder, args.ca_file))
        server.verbose = args.verbose
        server.streams = stream_routes.StreamShelf(args.streams_dir)
        port = server.server_address[1]
        if args.port_file:
            with open(args.port_file + ".tmp", "w") as out:
                out.write(str(port))
            os.replace(args.port_file + ".tmp", args.port_file)
        print_addresses(port)
        # Made (or found in the cache) while the site already answers; a
        # request for a stream waits for them.
        server.streams.start(lambda line: print(line, flush=True))
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()

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

Standard library only. Usage: demo_site.py [--port N] [--port-file FILE]
"""

import argparse
import hashlib
import http.cookies
import http.server
import sys
import time
import urllib.parse

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

    def log_message(self, fmt, *args):
        if self.server.verbose:
            sys.stderr.write("demo-site: " + (fmt % args) + "\n")

    def reply(self, status, body=b"", headers=(), content_type="text/html; charset=utf-8"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

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
                  "/get_video_info": self.video_info, "/get_video": self.video}
        route = routes.get(url.path)
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

    def send_stream(self, video, fmt):
        self.send_response(200)
        self.send_header("Content-Type", "video/mp4" if fmt in ("18", "22") else "video/x-flv")
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


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=0, help="port on 127.0.0.1 (0: any free one)")
    parser.add_argument("--port-file", help="write the port to this file once listening")
    parser.add_argument("--verbose", action="store_true", help="log every request")
    args = parser.parse_args()

    server = http.server.ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    server.verbose = args.verbose
    port = server.server_address[1]
    if args.port_file:
        with open(args.port_file + ".tmp", "w") as out:
            out.write(str(port))
        import os
        os.replace(args.port_file + ".tmp", args.port_file)
    print("Skerrow demo site on http://127.0.0.1:%d/ ; watch addresses to paste:" % port, flush=True)
    for vid in ("seastack01", "harbour202", "rockroll33", "slowtide77", "slowpage12"):
        print("  http://127.0.0.1:%d/watch?v=%s   (%s)" % (port, vid, VIDEOS[vid].title), flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""The demo site's streams, against the running site: each kind decodes to
what facts.json says, the pieces are served as a CDN serves them, and the
knobs make them falter as they promise; the cache is made once however many
sites start; the benchmarks' server waits as long as it is told.

CTest runs it (demo_site_streams); by hand: python3 demo_site_test.py
(the first run on a machine makes the streams, some seconds)."""

import http.client
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import urllib.error
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import stream_media  # noqa: E402  (found through the path above)
import streams  # noqa: E402

BENCH_SERVER = os.path.join(HERE, "..", "..", "bench", "stream", "serve.py")


class Peer:
    """A server script on a free loopback port, stopped by stop()."""

    def __init__(self, script, *arguments):
        self.folder = tempfile.mkdtemp(prefix="skerrow-peer-")
        port_file = os.path.join(self.folder, "port")
        self.process = subprocess.Popen([sys.executable, script, *arguments, "--port-file", port_file],
                                        stdout=subprocess.DEVNULL)
        deadline = time.monotonic() + 30
        while not os.path.exists(port_file):
            if time.monotonic() > deadline or self.process.poll() is not None:
                self.stop()
                raise RuntimeError("%s did not start" % script)
            time.sleep(0.05)
        with open(port_file) as source:
            self.port = int(source.read())

    def stop(self):
        self.process.terminate()
        self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)


def ffmpeg_md5(address, pick):
    done = subprocess.run(["ffmpeg", "-hide_banner", "-nostdin", "-loglevel", "error", "-i", address,
                           "-map", pick, "-fps_mode", "passthrough", "-f", "md5", "-"],
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
    return done.stdout.decode().strip()[len("MD5="):]


class DemoStreams(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.site = Peer(os.path.join(HERE, "demo_site.py"))
        cls.base = "http://127.0.0.1:%d" % cls.site.port
        # Answered once the streams are made (or found in the cache).
        with urllib.request.urlopen(cls.base + "/streams/facts.json", timeout=600) as answer:
            cls.facts = json.load(answer)["streams"]

    @classmethod
    def tearDownClass(cls):
        cls.site.stop()

    def fetch(self, path, headers=None, method="GET"):
        """(status, headers, body) of one request on a connection of its own."""
        connection = http.client.HTTPConnection("127.0.0.1", self.site.port, timeout=30)
        try:
            connection.request(method, path, headers=headers or {})
            answer = connection.getresponse()
            return answer.status, answer, answer.read()
        finally:
            connection.close()

    # What each kind decodes to.

    def test_every_kind_decodes_to_its_facts(self):
        rows = [  # (playlist, where its facts are)
            ("hls/v180/index.m3u8", "hls/v180/index.m3u8"),
            ("hls-fmp4/v180/index.m3u8", "hls-fmp4/v180/index.m3u8"),
            # The keys are fetched from the site, and the IVs are right.
            ("hls-aes/v180/index.m3u8", "hls-aes/v180/index.m3u8"),
            ("hls-single/index.m3u8", "hls-single/index.m3u8"),
            # Both clips, across the timestamps that start again.
            ("hls-discontinuity/index.m3u8", "hls-discontinuity/index.m3u8"),
            ("dash/manifest.mpd", "dash/manifest.mpd"),
            ("dash-number/manifest.mpd", "dash-number/manifest.mpd"),
            ("dash-base/manifest.mpd", "dash-base/manifest.mpd"),
        ]
        for playlist, facts in rows:
            with self.subTest(playlist):
                expected = self.facts[facts]
                video = expected["video"] if "video" in expected else expected["representations"][0]["video"]
                self.assertEqual(ffmpeg_md5(self.base + "/streams/" + playlist, "0:v:0"), video["md5"])

    def test_each_language_has_audio_of_its_own(self):
        master = self.facts["hls/master.m3u8"]
        digests = {}
        for rendition in master["audio"]:
            expected = self.facts[rendition["playlist"]]["audio"]["md5"]
            got = ffmpeg_md5(self.base + "/streams/" + rendition["playlist"], "0:a:0")
            self.assertEqual(got, expected, rendition["language"])
            digests[rendition["language"]] = got
        self.assertNotEqual(digests["en"], digests["es"])
        self.assertEqual([r["language"] for r in master["audio"] if r["default"]], ["en"])

    def test_a_master_saved_with_ffmpeg_holds_the_largest_video_and_the_default_audio(self):
        folder = tempfile.mkdtemp(prefix="skerrow-saved-")
        try:
            saved = os.path.join(folder, "saved.mp4")
            subprocess.run(["ffmpeg", "-hide_banner", "-nostdin", "-loglevel", "error", "-i",
                            self.base + "/moved/hls.m3u8", "-c", "copy", saved], check=True, timeout=120)
            largest = max(self.facts["hls/master.m3u8"]["variants"], key=lambda v: v["height"])
            self.assertEqual(ffmpeg_md5(saved, "0:v:0"), self.facts[largest["playlist"]]["video"]["md5"])
            self.assertEqual(stream_media.audio_md5(saved), self.facts["hls/audio-en/index.m3u8"]["audio"]["md5"])
        finally:
            shutil.rmtree(folder)

    # Serving.

    def test_each_piece_has_its_type(self):
        rows = [
            ("hls/master.m3u8", "application/vnd.apple.mpegurl"),
            ("dash/manifest.mpd", "application/dash+xml"),
            ("hls/v180/seg-0.ts", "video/mp2t"),
            ("hls-fmp4/v180/init_0.mp4", "video/mp4"),
            ("hls-fmp4/audio-en/seg-0.m4s", "audio/mp4"),
            ("dash/init-0.m4s", "video/mp4"),
            ("dash/audio-init-3.m4s", "audio/mp4"),
            ("dash-base/media/audio-en.mp4", "audio/mp4"),
            ("hls-aes/keys/key-1.key", "application/octet-stream"),
        ]
        for path, kind in rows:
            with self.subTest(path):
                status, answer, body = self.fetch("/streams/" + path, method="HEAD")
                self.assertEqual((status, answer.getheader("Content-Type"), body), (200, kind, b""))

    def test_byte_ranges(self):
        path = "/streams/hls-single/clip.ts"
        status, answer, whole = self.fetch(path)
        etag, size = answer.getheader("ETag"), len(whole)
        self.assertEqual((status, answer.getheader("Accept-Ranges")), (200, "bytes"))
        self.assertTrue(etag.startswith('"'), "a strong ETag")
        rows = [  # (headers, status, first byte, end, Content-Range)
            ({"Range": "bytes=10-19"}, 206, 10, 20, "bytes 10-19/%d" % size),
            ({"Range": "bytes=%d-" % (size - 5)}, 206, size - 5, size, "bytes %d-%d/%d" % (size - 5, size - 1, size)),
            ({"Range": "bytes=-7"}, 206, size - 7, size, "bytes %d-%d/%d" % (size - 7, size - 1, size)),
            # A last byte beyond the end ends at the end.
            ({"Range": "bytes=0-%d" % (size * 2)}, 206, 0, size, "bytes 0-%d/%d" % (size - 1, size)),
            ({"Range": "bytes=10-19", "If-Range": etag}, 206, 10, 20, "bytes 10-19/%d" % size),
            # Another version of the file: all of this one.
            ({"Range": "bytes=10-19", "If-Range": '"other"'}, 200, 0, size, None),
            # Several ranges, or nonsense: the whole file, as a server may.
            ({"Range": "bytes=0-1,5-6"}, 200, 0, size, None),
            ({"Range": "bytes=9-3"}, 200, 0, size, None),
            ({"Range": "bytes=%d-" % size}, 416, 0, 0, "bytes */%d" % size),
        ]
        for headers, status, first, end, content_range in rows:
            with self.subTest(headers):
                got_status, answer, body = self.fetch(path, headers)
                self.assertEqual((got_status, answer.getheader("Content-Range")), (status, content_range))
                self.assertEqual(body, whole[first:end])
                self.assertEqual(answer.getheader("ETag"), etag)

    def test_one_connection_carries_many_pieces(self):
        connection = http.client.HTTPConnection("127.0.0.1", self.site.port, timeout=30)
        try:
            for number in range(3):
                connection.request("GET", "/streams/hls/v180/seg-%d.ts" % number)
                answer = connection.getresponse()
                self.assertEqual((answer.status, answer.version), (200, 11))
                self.assertEqual(len(answer.read()), int(answer.getheader("Content-Length")))
                if number == 0:
                    opened = connection.sock
                self.assertIs(connection.sock, opened, "the connection stayed open")
        finally:
            connection.close()

    def test_nothing_outside_the_folder_is_served(self):
        for path in ("/streams/../demo_site.py", "/streams/%2e%2e/facts.json", "/streams/hls/../../streams.py",
                     "/streams/hls", "/streams//etc/passwd", "/streams/hls/%00"):
            with self.subTest(path):
                self.assertEqual(self.fetch(path)[0], 404)

    # The redirect.

    def test_a_moved_playlist_must_be_read_against_its_final_address(self):
        status, answer, _ = self.fetch("/moved/hls-aes.m3u8?delay=1&run=moved")
        self.assertEqual((status, answer.getheader("Location")), (302, "/streams/hls-aes/master.m3u8?delay=1&run=moved"))
        # Read against the address that was asked, a variant leads nowhere.
        self.assertEqual(self.fetch("/moved/v180/index.m3u8")[0], 404)
        self.assertEqual(self.fetch("/streams/hls-aes/v180/index.m3u8")[0], 200)
        for path in ("/moved/dash.mpd", "/moved/hls-single.m3u8"):
            with self.subTest(path):
                self.assertEqual(self.fetch(path)[0], 302)
        for path in ("/moved/nothing.m3u8", "/moved/hls.mpd", "/moved/..%2Fstreams.m3u8", "/moved/hls"):
            with self.subTest(path):
                self.assertEqual(self.fetch(path)[0], 404)

    # The knobs.

    def test_a_playlist_asked_with_knobs_carries_them_to_every_address(self):
        _, _, body = self.fetch("/streams/hls-aes/v180/index.m3u8?fail=2&run=carry")
        text = body.decode()
        self.assertIn('URI="../keys/key-1.key?fail=2&run=carry"', text)
        self.assertIn("\nseg-40.ts?fail=2&run=carry\n", text)
        _, _, body = self.fetch("/streams/dash/manifest.mpd?cut=x&run=carry")
        self.assertIn('media="chunk-$RepresentationID$-$Time$.m4s?cut=x&amp;run=carry"', body.decode())
        _, _, body = self.fetch("/streams/dash-base/manifest.mpd?delay=0")
        self.assertIn("<BaseURL>media/video-180.mp4?delay=0</BaseURL>", body.decode())
        # Without knobs, the playlist is the file.
        with open(os.path.join(self.folder(), "hls-aes", "v180", "index.m3u8"), "rb") as source:
            self.assertEqual(self.fetch("/streams/hls-aes/v180/index.m3u8")[2], source.read())

    def folder(self):
        return streams.ensure()

    def test_fail_answers_every_nth_piece_with_503_but_never_twice(self):
        rows = [  # (N, pieces asked in turn, the statuses)
            # Every request is the N-th, but a piece that failed is served.
            (1, ["seg-0.ts", "seg-0.ts", "seg-1.ts", "seg-1.ts", "seg-0.ts"], [503, 200, 503, 200, 200]),
            # Requests 2, 4 and 6 fail, each for a piece that had not failed.
            (2, ["seg-0.ts", "seg-1.ts", "seg-1.ts", "seg-2.ts", "seg-2.ts", "seg-0.ts", "seg-0.ts"],
             [200, 503, 200, 503, 200, 503, 200]),
        ]
        for number, (fail, pieces, statuses) in enumerate(rows):
            with self.subTest(fail=fail, pieces=pieces):
                query = "?fail=%d&run=fail%d" % (fail, number)
                got = [self.fetch("/streams/hls/v180/" + piece + query)[0] for piece in pieces]
                self.assertEqual(got, statuses)
        # Playlists and keys are never failed.
        for _ in range(3):
            self.assertEqual(self.fetch("/streams/hls/v180/index.m3u8?fail=1&run=fail-playlist")[0], 200)
            self.assertEqual(self.fetch("/streams/hls-aes/keys/key-1.key?fail=1&run=fail-playlist")[0], 200)
        # A range of a file is a piece of its own.
        ranges = [self.fetch("/streams/hls-single/clip.ts?fail=1&run=fail-ranges", {"Range": asked})[0]
                  for asked in ("bytes=0-99", "bytes=100-199", "bytes=0-99")]
        self.assertEqual(ranges, [503, 503, 206])

    def test_cut_stops_the_named_piece_half_way_once(self):
        path = "/streams/hls/v360/seg-1.ts?cut=seg-1.ts&run=cut"
        connection = http.client.HTTPConnection("127.0.0.1", self.site.port, timeout=30)
        connection.request("GET", path)
        answer = connection.getresponse()
        with self.assertRaises(http.client.IncompleteRead) as cut:
            answer.read()
        connection.close()
        self.assertEqual(len(cut.exception.partial), int(answer.getheader("Content-Length")) // 2)
        status, answer, body = self.fetch(path)
        self.assertEqual((status, len(body)), (200, int(answer.getheader("Content-Length"))))

    def test_delay_waits_before_each_answer(self):
        started = time.monotonic()
        self.assertEqual(self.fetch("/streams/hls/master.m3u8?delay=300")[0], 200)
        self.assertGreaterEqual(time.monotonic() - started, 0.3)

    def test_knobs_out_of_bounds_are_refused(self):
        for query in ("fail=0", "fail=-1", "fail=1001", "fail=x", "delay=10001", "delay=1.5", "cut=",
                      "fail=\u0661"):
            with self.subTest(query):
                self.assertEqual(self.fetch("/streams/hls/master.m3u8?" + urllib.request.quote(query, "="))[0], 400)


class StreamsCache(unittest.TestCase):
    def setUp(self):
        self.parent = tempfile.mkdtemp(prefix="skerrow-cache-")
        self.folder = os.path.join(self.parent, "demo-streams-test")
        self.made = 0

    def tearDown(self):
        shutil.rmtree(self.parent)

    def slow_maker(self, folder):
        self.made += 1
        time.sleep(0.3)
        with open(os.path.join(folder, "facts.json"), "w") as out:
            out.write("{}")

    def test_sites_started_side_by_side_make_the_streams_once(self):
        found = []
        makers = [threading.Thread(target=lambda: found.append(streams.ensure(self.folder, self.slow_maker)))
                  for _ in range(4)]
        for maker in makers:
            maker.start()
        for maker in makers:
            maker.join()
        self.assertEqual((self.made, found), (1, [self.folder] * 4))
        self.assertEqual(sorted(os.listdir(self.parent)), ["demo-streams-test", "demo-streams-test.lock"])
        self.assertEqual(os.listdir(self.folder), ["facts.json"])

    def test_a_making_that_fails_leaves_nothing_and_the_next_start_makes_them(self):
        def failing(folder):
            open(os.path.join(folder, "half"), "w").close()
            raise RuntimeError("ffmpeg stopped")
        with self.assertRaises(RuntimeError):
            streams.ensure(self.folder, failing)
        self.assertEqual(os.listdir(self.parent), ["demo-streams-test.lock"])
        self.assertEqual(streams.ensure(self.folder, self.slow_maker), self.folder)
        self.assertEqual(self.made, 1)

    def test_the_leftover_of_a_maker_that_died_is_removed(self):
        leftover = os.path.join(self.parent, ".demo-streams-test-dead1234")
        os.makedirs(os.path.join(leftover, "hls"))
        streams.ensure(self.folder, self.slow_maker)
        self.assertFalse(os.path.exists(leftover))

    def test_the_cache_is_named_after_the_scripts_that_make_it(self):
        os.environ["XDG_CACHE_HOME"] = self.parent
        try:
            self.assertEqual(streams.default_folder(),
                             os.path.join(self.parent, "skerrow", "demo-streams-" + streams.makers_hash()))
        finally:
            del os.environ["XDG_CACHE_HOME"]


class BenchServer(unittest.TestCase):
    def test_every_answer_waits_for_the_latency(self):
        root = tempfile.mkdtemp(prefix="skerrow-bench-root-")
        with open(os.path.join(root, "seg-0.ts"), "wb") as out:
            out.write(bytes(range(256)) * 4)
        server = Peer(BENCH_SERVER, "--root", root, "--latency-ms", "150")
        try:
            connection = http.client.HTTPConnection("127.0.0.1", server.port, timeout=30)
            for headers, status, size in (({}, 200, 1024), ({"Range": "bytes=1000-"}, 206, 24)):
                started = time.monotonic()
                connection.request("GET", "/seg-0.ts", headers=headers)
                answer = connection.getresponse()
                self.assertEqual((answer.status, len(answer.read())), (status, size))
                self.assertEqual(answer.getheader("Content-Type"), "video/mp2t")
                self.assertGreaterEqual(time.monotonic() - started, 0.15)
            connection.close()
        finally:
            server.stop()
            shutil.rmtree(root)


if __name__ == "__main__":
    unittest.main()

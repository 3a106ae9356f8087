"""The demo's clip and what ffmpeg says about media: the clip is generated
(a test pattern and a tone), encoded once in every size, and everything the
streams carry is cut from those encodes without encoding again."""

import hashlib
import os
import shutil
import subprocess
import tempfile

SECONDS = 6
FRAME_RATE = 25
# Each size with its video bitrate; small, so the whole set is made quickly.
SIZES = [(320, 180, "150k"), (640, 360, "400k"), (1280, 720, "800k")]
# Each language's audio is a tone of its own, so that a test can tell which
# rendition a saved file carries.
TONES = {"en": 440, "es": 660}
# The audio is a little shorter than the video, so that it still ends first
# when AAC's priming and the video's reordering delay push it later (in DASH,
# where every stream starts at zero): no stream ends in a sliver of audio.
AUDIO_SECONDS = 5.8
# The second clip of the playlist with a discontinuity.
SECOND_CLIP_SECONDS = 3
SECOND_CLIP_AUDIO_SECONDS = 2.8
SECOND_CLIP_TONE = 880

KEYFRAME_SECONDS = 1
X264 = ["-c:v", "libx264", "-preset", "superfast", "-pix_fmt", "yuv420p",
        # A keyframe every second and none elsewhere, so that every segment
        # of one or two seconds starts with one.
        "-g", str(FRAME_RATE * KEYFRAME_SECONDS), "-keyint_min", str(FRAME_RATE * KEYFRAME_SECONDS), "-sc_threshold", "0"]
AAC = ["-c:a", "aac", "-b:a", "64k", "-ac", "2"]


class MediaError(RuntimeError):
    pass


def ffmpeg(*arguments):
    run(["ffmpeg", "-hide_banner", "-nostdin", "-loglevel", "error", "-y", *arguments])


def run(command):
    try:
        done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=300)
    except (OSError, subprocess.TimeoutExpired) as error:
        raise MediaError("%s: %s" % (command[0], error)) from error
    if done.returncode != 0:
        raise MediaError("%s failed: %s" % (" ".join(command[:8]), done.stderr.decode(errors="replace")[-2000:]))
    return done.stdout.decode()


def video_name(height):
    return "video-%d.mp4" % height


def audio_name(language):
    return "audio-%s.m4a" % language


SECOND_CLIP = "second-clip.mp4"


def encode_sources(folder):
    """Every size of the clip, the audio of each language and the second
    clip, in one run of ffmpeg (it encodes them side by side)."""
    inputs = ["-f", "lavfi", "-i", "testsrc2=size=1280x720:rate=%d:duration=%d" % (FRAME_RATE, SECONDS)]
    for tone in TONES.values():
        inputs += ["-f", "lavfi", "-i", "sine=frequency=%d:sample_rate=48000:duration=%s" % (tone, AUDIO_SECONDS)]
    inputs += ["-f", "lavfi", "-i", "testsrc=size=640x360:rate=%d:duration=%d" % (FRAME_RATE, SECOND_CLIP_SECONDS),
               "-f", "lavfi", "-i", "sine=frequency=%d:sample_rate=48000:duration=%s" % (
                   SECOND_CLIP_TONE, SECOND_CLIP_AUDIO_SECONDS)]
    second = 1 + len(TONES)
    scaled = "".join("[v%d]scale=%d:%d[s%d];" % (i, w, h, i) for i, (w, h, _) in enumerate(SIZES))
    graph = "[0:v]split=%d%s;%s" % (len(SIZES), "".join("[v%d]" % i for i in range(len(SIZES))), scaled.rstrip(";"))
    outputs = ["-filter_complex", graph]
    for i, (_, height, rate) in enumerate(SIZES):
        outputs += ["-map", "[s%d]" % i, "-b:v", rate, *X264, os.path.join(folder, video_name(height))]
    for i, language in enumerate(TONES):
        outputs += ["-map", "%d:a" % (1 + i), *AAC, os.path.join(folder, audio_name(language))]
    outputs += ["-map", "%d:v" % second, "-map", "%d:a" % (second + 1), "-b:v", "400k", *X264, *AAC,
                os.path.join(folder, SECOND_CLIP)]
    ffmpeg(*inputs, *outputs)


def video_md5(path):
    """The md5 of a file's decoded video frames, as `ffmpeg -i FILE -map 0:v:0
    -fps_mode passthrough -f md5 -` gives it: every frame is hashed once,
    whatever its timestamp."""
    return decoded_facts({"it": (path, "v")})["it"]["md5"]


def audio_md5(path):
    """The md5 of a file's decoded audio, as `ffmpeg -ignore_editlist 1 -i
    FILE -map 0:a:0 -f md5 -` gives it: every packet decoded, so the same
    samples whatever container carries them (an MP4's edit list would
    otherwise hide AAC's priming, and one from MPEG-TS has none)."""
    return decoded_facts({"it": (path, "a")})["it"]["md5"]


# Files whose audio may come with an edit list.
MP4_FILES = (".mp4", ".m4a", ".mov")


def decoded_facts(jobs):
    """For each job, name: (file, "v" or "a"), the md5 of what the file's
    first stream of that kind decodes to, and how many frames that is; all in
    one run of ffmpeg, which decodes them side by side."""
    inputs, graph, outputs = [], [], []
    folder = tempfile.mkdtemp(prefix="skerrow-decoded-")
    try:
        for number, (name, (path, kind)) in enumerate(jobs.items()):
            inputs += (["-ignore_editlist", "1"] if kind == "a" and path.endswith(MP4_FILES) else []) + ["-i", path]
            # One decoded stream, two outputs: the md5 and a line per frame.
            graph.append("[%d:%s:0]%ssplit[%s-md5][%s-crc]" % (number, kind, "" if kind == "v" else "a", name, name))
            keep = ["-fps_mode", "passthrough"] if kind == "v" else []
            outputs += ["-map", "[%s-md5]" % name, *keep, "-f", "md5", os.path.join(folder, name + ".md5")]
            outputs += ["-map", "[%s-crc]" % name, *keep, "-f", "framecrc", os.path.join(folder, name + ".crc")]
        run(["ffmpeg", "-hide_banner", "-nostdin", "-loglevel", "error", *inputs,
             "-filter_complex", ";".join(graph), *outputs])
        return {name: read_decoded(folder, name) for name in jobs}
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def read_decoded(folder, name):
    with open(os.path.join(folder, name + ".md5")) as md5, open(os.path.join(folder, name + ".crc")) as crc:
        digest = md5.read().strip()
        frames = sum(1 for line in crc if line.strip() and not line.startswith("#"))
    if not digest.startswith("MD5="):
        raise MediaError("ffmpeg gave no md5 for %s: %r" % (name, digest[:200]))
    return {"md5": digest[len("MD5="):], "frames": frames}


def encrypt(plain, key, iv, out):
    """AES-128 in CBC mode with PKCS#7 padding over the whole file, as HLS
    encrypts a segment."""
    run(["openssl", "enc", "-aes-128-cbc", "-K", key.hex(), "-iv", iv.hex(), "-in", plain, "-out", out])


def demo_key(number):
    """A key that is the same on every machine: the streams are made again
    from nothing, and nothing in them should change."""
    return hashlib.sha256(b"skerrow demo key %d" % number).digest()[:16]

"""The demo's HLS streams, cut by ffmpeg's hls muxer from the clip's encodes;
the master playlists, the encrypted set and the fixtures a downloader must
refuse are written here, line by line, to say exactly what they must.

Each function writes one folder and returns the facts of its playlists by
their path under the streams folder."""

import os
import shutil

import mpeg_ts
import stream_media as media

# The renditions of a set with an audio group: the video sizes by height and
# the languages, named as their folders are.
VIDEO = [("v%d" % height, height) for _, height, _ in media.SIZES]
AUDIO = [("audio-%s" % language, language) for language in media.TONES]
AUDIO_NAMES = {"en": "English", "es": "Espa\u00f1ol"}
AAC = "mp4a.40.2"

# The encrypted set: for each segment, the key in force and where its IV
# comes from ("given" in the tag, "sequence" from the media sequence number;
# no key: the segment is sent in the clear).
KEY_PLAN = [(1, "given"), (1, "given"), (2, "sequence"), (2, "sequence"), (None, None), (3, "given")]
AES_FIRST_SEQUENCE = 40
LIVE_FIRST_SEQUENCE = 1200
# ffmpeg's MPEG-TS muxer puts the first stream, the video, on this PID.
VIDEO_PID = 0x100


def read_media_playlist(path):
    """The (duration, address) of each segment of a media playlist."""
    segments, duration = [], None
    with open(path, encoding="utf-8") as source:
        for line in source.read().splitlines():
            if line.startswith("#EXTINF:"):
                duration = float(line[len("#EXTINF:"):].split(",")[0])
            elif line and not line.startswith("#"):
                segments.append((duration, line))
    return segments


def media_facts(path, segment_format, video=None, audio=None, first_sequence=0):
    segments = read_media_playlist(path)
    return {"kind": "hls-media", "segment_format": segment_format, "segments": len(segments),
            "segment_seconds": [d for d, _ in segments], "seconds": round(sum(d for d, _ in segments), 6),
            "media_sequence": first_sequence, "video": video, "audio": audio}


def bandwidths(folder, segments):
    """The peak and the average bits per second of a playlist's segments."""
    rates = [os.path.getsize(os.path.join(folder, uri)) * 8 / duration for duration, uri in segments]
    total = sum(os.path.getsize(os.path.join(folder, uri)) for _, uri in segments)
    return int(max(rates)), int(total * 8 / sum(d for d, _ in segments))


def write_lines(path, lines):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as out:
        out.write("\n".join(lines) + "\n")


def media_playlist(segments, first_sequence=0, finished=True, header=(), extra=None):
    """A media playlist's lines; extra(i) gives tags to put before segment i."""
    # No segment may last longer than the target rounded.
    target = max(1, round(max(duration for duration, _ in segments)))
    lines = ["#EXTM3U", "#EXT-X-VERSION:3", "#EXT-X-TARGETDURATION:%d" % target,
             "#EXT-X-MEDIA-SEQUENCE:%d" % first_sequence, *header]
    if finished:
        lines.append("#EXT-X-PLAYLIST-TYPE:VOD")
    for i, (duration, uri) in enumerate(segments):
        lines += (extra(i) if extra else []) + ["#EXTINF:%.6f," % duration, uri]
    if finished:
        lines.append("#EXT-X-ENDLIST")
    return lines


def cut(folder, renditions, segment_seconds, options=()):
    """ffmpeg's hls muxer cuts the inputs into one media playlist per
    rendition, in folder/NAME/index.m3u8. renditions: (name, [(file, "v" or
    "a")]), each file an input once however many streams it gives."""
    files, maps, streams = [], [], []
    for name, picks in renditions:
        chosen = []
        for path, kind in picks:
            if path not in files:
                files.append(path)
            chosen.append("%s:%d" % (kind, sum(1 for m in maps if m.endswith(kind))))
            maps.append("%d:%s" % (files.index(path), kind))
        streams.append(",".join(chosen + ["name:" + name]))
    arguments = []
    for path in files:
        arguments += ["-i", path]
    for pick in maps:
        arguments += ["-map", pick]
    segment = "seg-%d.m4s" if "fmp4" in options else "seg-%d.ts"
    media.ffmpeg(*arguments, "-c", "copy", "-f", "hls", "-hls_time", str(segment_seconds),
                 "-hls_playlist_type", "vod", *options, "-hls_segment_filename", os.path.join(folder, "%v", segment),
                 "-var_stream_map", " ".join(streams), os.path.join(folder, "%v", "index.m3u8"))


def attribute_list(pairs):
    return ",".join("%s=%s" % pair for pair in pairs)


def variant_lines(attributes, uri):
    return ["#EXT-X-STREAM-INF:" + attribute_list(attributes), uri]


def make_audio_group_set(root, sources, name, segment_type):
    """Three video sizes and two languages in an audio group: folder NAME with
    master.m3u8. segment_type: "ts" or "fmp4"."""
    folder = os.path.join(root, name)
    renditions = [(n, [(sources.video(h), "v")]) for n, h in VIDEO] + [
        (n, [(sources.audio(l), "a")]) for n, l in AUDIO]
    fmp4 = ["-hls_segment_type", "fmp4", "-hls_fmp4_init_filename", "init.mp4"]
    cut(folder, renditions, 2 if segment_type == "ts" else 1, fmp4 if segment_type == "fmp4" else ())
    facts = {}
    lines = ["#EXTM3U", "#EXT-X-VERSION:%d" % (7 if segment_type == "fmp4" else 4), "#EXT-X-INDEPENDENT-SEGMENTS"]
    audio_lines, audio, audio_peak = audio_group(root, name, sources, segment_type, facts)
    size_lines, variants = video_variants(root, name, sources, segment_type, audio_peak, facts)
    lines += audio_lines + size_lines
    master = {"kind": "hls-master", "variants": variants, "audio": audio, "i_frames": []}
    if segment_type == "ts":
        lines.append(i_frame_playlist(folder, sources, 360))
        master["i_frames"].append("%s/v360/iframes.m3u8" % name)
    write_lines(os.path.join(folder, "master.m3u8"), lines)
    facts["%s/master.m3u8" % name] = master
    return facts


def audio_group(root, name, sources, segment_type, facts):
    """The master's EXT-X-MEDIA lines of the languages, their facts and the
    largest bandwidth among them; adds the facts of their playlists."""
    lines, audio, peak = [], [], 0
    for rendition, language in AUDIO:
        path = "%s/%s/index.m3u8" % (name, rendition)
        playlist = os.path.join(root, path)
        peak = max(peak, bandwidths(os.path.dirname(playlist), read_media_playlist(playlist))[0])
        facts[path] = media_facts(playlist, segment_type, audio=sources.audio_facts(language))
        default = "YES" if language == "en" else "NO"
        lines.append("#EXT-X-MEDIA:" + attribute_list([
            ("TYPE", "AUDIO"), ("GROUP-ID", '"aud"'), ("NAME", '"%s"' % AUDIO_NAMES[language]),
            ("LANGUAGE", '"%s"' % language), ("DEFAULT", default), ("AUTOSELECT", "YES"), ("CHANNELS", '"2"'),
            ("URI", '"%s/index.m3u8"' % rendition)]))
        audio.append({"playlist": path, "language": language, "default": default == "YES",
                      "tone_hz": media.TONES[language]})
    return lines, audio, peak


def video_variants(root, name, sources, segment_type, audio_peak, facts):
    """The master's variant lines of the sizes and their facts; adds the facts
    of their playlists."""
    lines, variants = [], []
    # The middle size comes first, as in many real masters: the order says
    # nothing about the sizes.
    for rendition, height in sorted(VIDEO, key=lambda v: v[1] != 360):
        path = "%s/%s/index.m3u8" % (name, rendition)
        playlist = os.path.join(root, path)
        peak, average = bandwidths(os.path.dirname(playlist), read_media_playlist(playlist))
        video = sources.video_facts(height)
        codecs = "%s,%s" % (sources.codec(height), AAC)
        lines += variant_lines([
            ("BANDWIDTH", peak + audio_peak), ("AVERAGE-BANDWIDTH", average + audio_peak),
            ("RESOLUTION", "%dx%d" % (video["width"], height)), ("FRAME-RATE", "%.3f" % media.FRAME_RATE),
            ("CODECS", '"%s"' % codecs), ("AUDIO", '"aud"')], "%s/index.m3u8" % rendition)
        facts[path] = media_facts(playlist, segment_type, video=video)
        variants.append(variant_facts(name, rendition, video, peak + audio_peak, codecs, "aud"))
    return lines, variants


def variant_facts(name, rendition, video, bandwidth, codecs, audio_group=None):
    return {"playlist": "%s/%s/index.m3u8" % (name, rendition), "width": video["width"],
            "height": video["height"], "bandwidth": bandwidth, "codecs": codecs, "audio": audio_group}


def i_frame_playlist(folder, sources, height):
    """Writes the trick-play playlist of one size (the byte ranges of its
    keyframes, after the tables that ffmpeg's muxer puts at the start of
    each segment, given once with EXT-X-MAP) and returns the master's line
    for it."""
    rendition = "v%d" % height
    segments = read_media_playlist(os.path.join(folder, rendition, "index.m3u8"))
    keyframes = [(uri, mpeg_ts.keyframe_ranges(os.path.join(folder, rendition, uri), VIDEO_PID))
                 for _, uri in segments]
    first_uri, first_ranges = keyframes[0]
    lines = ["#EXTM3U", "#EXT-X-VERSION:5", "#EXT-X-TARGETDURATION:1", "#EXT-X-MEDIA-SEQUENCE:0",
             "#EXT-X-PLAYLIST-TYPE:VOD", "#EXT-X-I-FRAMES-ONLY",
             '#EXT-X-MAP:URI="%s",BYTERANGE="%d@0"' % (first_uri, first_ranges[0][0])]
    largest = 0
    for uri, ranges in keyframes:
        for start, end in ranges:
            lines += ["#EXTINF:%.6f," % media.KEYFRAME_SECONDS, "#EXT-X-BYTERANGE:%d@%d" % (end - start, start), uri]
            largest = max(largest, end - start)
    lines.append("#EXT-X-ENDLIST")
    write_lines(os.path.join(folder, rendition, "iframes.m3u8"), lines)
    return "#EXT-X-I-FRAME-STREAM-INF:" + attribute_list([
        ("BANDWIDTH", largest * 8), ("RESOLUTION", "%dx%d" % (sources.video_facts(height)["width"], height)),
        ("CODECS", '"%s"' % sources.codec(height)), ("URI", '"%s/iframes.m3u8"' % rendition)])


def cut_muxed(sources, work):
    """Every size with the English audio inside, in one-second MPEG-TS
    segments, and the second clip likewise: the plain pieces that the
    encrypted set, the discontinuity and the refused fixtures are made of."""
    folder = os.path.join(work, "muxed")
    renditions = [(n, [(sources.video(h), "v"), (sources.audio("en"), "a")]) for n, h in VIDEO]
    second = ("second", [(sources.second_clip(), "v"), (sources.second_clip(), "a")])
    cut(folder, renditions + [second], 1)
    return folder


def make_encrypted_set(root, sources, muxed):
    """hls-aes: the muxed sizes in AES-128, keys rotating every two segments
    (KEY_PLAN), the keys in hls-aes/keys/."""
    name = "hls-aes"
    folder = os.path.join(root, name)
    os.makedirs(os.path.join(folder, "keys"))
    keys = sorted({key for key, _ in KEY_PLAN if key})
    for key in keys:
        with open(os.path.join(folder, "keys", "key-%d.key" % key), "wb") as out:
            out.write(media.demo_key(key))
    facts, variants = {}, []
    lines = ["#EXTM3U", "#EXT-X-VERSION:3"]
    for rendition, height in VIDEO:
        segments = read_media_playlist(os.path.join(muxed, rendition, "index.m3u8"))
        renamed = encrypt_segments(os.path.join(muxed, rendition), segments, os.path.join(folder, rendition))
        playlist = os.path.join(folder, rendition, "index.m3u8")
        write_lines(playlist, media_playlist(renamed, AES_FIRST_SEQUENCE, extra=key_tags()))
        peak, _ = bandwidths(os.path.join(folder, rendition), renamed)
        video = sources.video_facts(height)
        codecs = "%s,%s" % (sources.codec(height), AAC)
        lines += variant_lines([("BANDWIDTH", peak), ("RESOLUTION", "%dx%d" % (video["width"], height)),
                                ("CODECS", '"%s"' % codecs)], "%s/index.m3u8" % rendition)
        facts["%s/%s/index.m3u8" % (name, rendition)] = media_facts(
            playlist, "ts", video, sources.audio_facts("en"), AES_FIRST_SEQUENCE)
        variants.append(variant_facts(name, rendition, video, peak, codecs))
    write_lines(os.path.join(folder, "master.m3u8"), lines)
    facts["%s/master.m3u8" % name] = {"kind": "hls-master", "variants": variants, "audio": []}
    return facts


def segment_key(index):
    return KEY_PLAN[index % len(KEY_PLAN)]


def given_iv(key):
    return media.demo_key(1000 + key)


def encrypt_segments(source, segments, folder):
    """Encrypts each segment as its place in KEY_PLAN says; the new (duration,
    name) of each."""
    os.makedirs(folder)
    renamed = []
    for index, (duration, uri) in enumerate(segments):
        sequence = AES_FIRST_SEQUENCE + index
        name = "seg-%d.ts" % sequence
        key, iv = segment_key(index)
        if key is None:
            shutil.copyfile(os.path.join(source, uri), os.path.join(folder, name))
        else:
            chosen = given_iv(key) if iv == "given" else sequence.to_bytes(16, "big")
            media.encrypt(os.path.join(source, uri), media.demo_key(key), chosen, os.path.join(folder, name))
        renamed.append((duration, name))
    return renamed


def key_tags():
    """extra() for media_playlist: an EXT-X-KEY wherever the key in force changes."""
    def tags(index):
        if index > 0 and segment_key(index) == segment_key(index - 1):
            return []
        key, iv = segment_key(index)
        if key is None:
            return ["#EXT-X-KEY:METHOD=NONE"]
        attributes = [("METHOD", "AES-128"), ("URI", '"../keys/key-%d.key"' % key)]
        if iv == "given":
            attributes.append(("IV", "0x" + given_iv(key).hex().upper()))
        return ["#EXT-X-KEY:" + attribute_list(attributes)]
    return tags


def make_single_file(root, sources):
    """hls-single: one MPEG-TS file, its segments given as byte ranges; every
    other range leaves out its offset, which then follows the range before."""
    name = "hls-single"
    folder = os.path.join(root, name)
    os.makedirs(folder)
    playlist = os.path.join(folder, "index.m3u8")
    media.ffmpeg("-i", sources.video(360), "-i", sources.audio("en"), "-map", "0:v", "-map", "1:a", "-c", "copy",
                 "-f", "hls", "-hls_time", "1", "-hls_playlist_type", "vod", "-hls_flags", "single_file",
                 "-hls_segment_filename", os.path.join(folder, "clip.ts"), playlist)
    with open(playlist, encoding="utf-8") as source:
        lines = source.read().splitlines()
    ranges, end = 0, None
    for i, line in enumerate(lines):
        if line.startswith("#EXT-X-BYTERANGE:"):
            length, offset = (int(n) for n in line[len("#EXT-X-BYTERANGE:"):].split("@"))
            if ranges % 2 == 1 and offset == end:
                lines[i] = "#EXT-X-BYTERANGE:%d" % length
            ranges, end = ranges + 1, offset + length
    write_lines(playlist, lines)
    facts = media_facts(playlist, "ts", sources.video_facts(360), sources.audio_facts("en"))
    facts["single_file"] = "clip.ts"
    return {"%s/index.m3u8" % name: facts}


def copy_segments(source, segments, folder, prefix, first=0):
    os.makedirs(folder, exist_ok=True)
    copied = []
    for i, (duration, uri) in enumerate(segments):
        name = "%s%d.ts" % (prefix, first + i)
        shutil.copyfile(os.path.join(source, uri), os.path.join(folder, name))
        copied.append((duration, name))
    return copied


def make_discontinuity(root, sources, muxed):
    """hls-discontinuity: the clip, then a second clip whose timestamps start
    again, behind an EXT-X-DISCONTINUITY."""
    name = "hls-discontinuity"
    folder = os.path.join(root, name)
    first = copy_segments(os.path.join(muxed, "v360"), read_media_playlist(os.path.join(muxed, "v360", "index.m3u8")),
                          folder, "a-")
    second = copy_segments(os.path.join(muxed, "second"),
                           read_media_playlist(os.path.join(muxed, "second", "index.m3u8")), folder, "b-")
    playlist = os.path.join(folder, "index.m3u8")
    write_lines(playlist, media_playlist(first + second, extra=lambda i: ["#EXT-X-DISCONTINUITY"]
                                         if i == len(first) else []))
    # Decoded from the playlist itself: the AAC decoder carries its state
    # from one clip into the next, as it does when it plays a saved file.
    decoded = media.decoded_facts({"video": (playlist, "v"), "audio": (playlist, "a")})
    video = {"width": 640, "height": 360, **decoded["video"]}
    audio = {"language": "en", "tone_hz": [media.TONES["en"], media.SECOND_CLIP_TONE], "md5": decoded["audio"]["md5"]}
    facts = media_facts(playlist, "ts", video, audio)
    facts["discontinuities"] = 1
    return {"%s/index.m3u8" % name: facts}


def make_refused(root, sources, muxed):
    """hls-live (no EXT-X-ENDLIST: still being written) and hls-drm
    (SAMPLE-AES, a key only a licensed player gets): a master and a media
    playlist each, over a few plain segments."""
    segments = read_media_playlist(os.path.join(muxed, "v360", "index.m3u8"))[:3]
    variant = variant_lines([("BANDWIDTH", 600000), ("RESOLUTION", "640x360"),
                             ("CODECS", '"%s,%s"' % (sources.codec(360), AAC))], "index.m3u8")
    live = copy_segments(os.path.join(muxed, "v360"), segments, os.path.join(root, "hls-live"), "live-",
                         LIVE_FIRST_SEQUENCE)
    write_lines(os.path.join(root, "hls-live", "index.m3u8"),
                media_playlist(live, LIVE_FIRST_SEQUENCE, finished=False))
    write_lines(os.path.join(root, "hls-live", "master.m3u8"), ["#EXTM3U", *variant])
    drm = copy_segments(os.path.join(muxed, "v360"), segments, os.path.join(root, "hls-drm"), "seg-")
    sample_aes = attribute_list([("METHOD", "SAMPLE-AES"), ("URI", '"skd://skerrow-demo/key-1"'),
                                 ("KEYFORMAT", '"com.apple.streamingkeydelivery"'), ("KEYFORMATVERSIONS", '"1"')])
    write_lines(os.path.join(root, "hls-drm", "index.m3u8"),
                media_playlist(drm, header=["#EXT-X-KEY:" + sample_aes]))
    write_lines(os.path.join(root, "hls-drm", "master.m3u8"),
                ["#EXTM3U", "#EXT-X-VERSION:5", "#EXT-X-SESSION-KEY:" + sample_aes, *variant])
    facts = {}
    for name, reason in (("hls-live", "live"), ("hls-drm", "drm")):
        facts["%s/master.m3u8" % name] = {"kind": "hls-master", "refused": reason}
        facts["%s/index.m3u8" % name] = {"kind": "hls-media", "refused": reason}
    return facts


def makers(root, sources, work):
    """The steps that make the HLS streams, each giving facts; they do not
    depend on each other and may run side by side."""
    def from_muxed():
        muxed = cut_muxed(sources, work)
        facts = make_encrypted_set(root, sources, muxed)
        facts.update(make_discontinuity(root, sources, muxed))
        facts.update(make_refused(root, sources, muxed))
        return facts

    return [lambda: make_audio_group_set(root, sources, "hls", "ts"),
            lambda: make_audio_group_set(root, sources, "hls-fmp4", "fmp4"),
            lambda: make_single_file(root, sources), from_muxed]

"""The demo's DASH streams: ffmpeg's dash muxer cuts the clip's encodes into
segments addressed by a SegmentTemplate (with a SegmentTimeline and $Time$,
or with $Number$); the manifest over fragmented MP4 files with SegmentBase
and the manifests a downloader must refuse are written here.

Every manifest is checked against the files before it is kept: each segment
it describes must be there, and nothing else."""

import copy
import math
import os
import re
import xml.etree.ElementTree as ET

import mp4_boxes
import stream_media as media

NS = "urn:mpeg:dash:schema:mpd:2011"
CENC = "urn:mpeg:cenc:2013"
for prefix, uri in (("", NS), ("xsi", "http://www.w3.org/2001/XMLSchema-instance"),
                    ("xlink", "http://www.w3.org/1999/xlink"), ("cenc", CENC)):
    ET.register_namespace(prefix, uri)

SEGMENT_SECONDS = 2
AAC = "mp4a.40.2"
# A template's identifiers (ISO/IEC 23009-1 5.3.9.4.4), with an optional
# printf width for the numbers.
IDENTIFIER = re.compile(r"\$(RepresentationID|Number|Time|Bandwidth)(%0(\d{1,2})d)?\$|\$\$")
DURATION = re.compile(r"^PT(?:(\d+)H)?(?:(\d+)M)?(?:(\d+(?:\.\d+)?)S)?$")
# The largest manifest the checks expand: no demo stream comes near it.
MOST_SEGMENTS = 10000


class ManifestError(ValueError):
    pass


def q(tag):
    return "{%s}%s" % (NS, tag)


def seconds(duration):
    match = DURATION.match(duration or "")
    if not match:
        raise ManifestError("not a duration the demo writes: %r" % duration)
    hours, minutes, rest = match.groups()
    return int(hours or 0) * 3600 + int(minutes or 0) * 60 + float(rest or 0)


def fill(template, representation, number=None, time=None):
    def value(match):
        if match.group(0) == "$$":
            return "$"
        name, width = match.group(1), match.group(3)
        found = {"RepresentationID": representation.get("id"), "Number": number, "Time": time,
                 "Bandwidth": representation.get("bandwidth")}[name]
        if found is None:
            raise ManifestError("%s has no value in %r" % (name, template))
        return str(found).zfill(int(width)) if width else str(found)
    return IDENTIFIER.sub(value, template)


def timeline_times(timeline):
    """The start time of every segment a SegmentTimeline lists."""
    times, now = [], 0
    for entry in timeline.findall(q("S")):
        now = int(entry.get("t", now))
        for _ in range(int(entry.get("r", 0)) + 1):
            times.append(now)
            now += int(entry.get("d"))
            if len(times) > MOST_SEGMENTS:
                raise ManifestError("the timeline is too long")
    return times


def template_files(representation, period_seconds):
    """The initialization and media files a Representation's SegmentTemplate
    names."""
    template = representation.find(q("SegmentTemplate"))
    files = [fill(template.get("initialization"), representation)]
    timeline = template.find(q("SegmentTimeline"))
    first = int(template.get("startNumber", 1))
    if timeline is not None:
        for i, time in enumerate(timeline_times(timeline)):
            files.append(fill(template.get("media"), representation, first + i, time))
    else:
        count = math.ceil(period_seconds * int(template.get("timescale", 1)) / int(template.get("duration")))
        if count > MOST_SEGMENTS:
            raise ManifestError("too many segments")
        files += [fill(template.get("media"), representation, first + i) for i in range(count)]
    return files


def representations(tree):
    for adaptation in tree.getroot().iter(q("AdaptationSet")):
        for representation in adaptation.findall(q("Representation")):
            yield adaptation, representation


def package(folder, sources, addressing, languages):
    """ffmpeg's dash muxer over the three sizes and the languages' audio, each
    language an adaptation set of its own; the manifest's tree."""
    inputs, maps = [], []
    for _, height, _ in media.SIZES:
        inputs += ["-i", sources.video(height)]
    for language in languages:
        inputs += ["-i", sources.audio(language)]
    for i in range(len(inputs) // 2):
        maps += ["-map", "%d:0" % i]
    video = len(media.SIZES)
    sets = ["id=0,streams=%s" % ",".join(str(i) for i in range(video))]
    labels = []
    for i, language in enumerate(languages):
        sets.append("id=%d,streams=%d" % (i + 1, video + i))
        labels += ["-metadata:s:%d" % (video + i), "language=" + language]
    number = "$Time$" if addressing == "timeline" else "$Number%05d$"
    manifest = os.path.join(folder, "manifest.mpd")
    os.makedirs(folder)
    media.ffmpeg(*inputs, *maps, "-c", "copy", *labels,
                 # The audio's priming would start it before zero, and the
                 # muxer would then name its first segment by a time its
                 # manifest does not give.
                 "-avoid_negative_ts", "make_zero",
                 "-f", "dash", "-seg_duration", str(SEGMENT_SECONDS), "-use_template", "1",
                 "-use_timeline", "1" if addressing == "timeline" else "0", "-adaptation_sets", " ".join(sets),
                 "-init_seg_name", "init-$RepresentationID$.$ext$",
                 "-media_seg_name", "chunk-$RepresentationID$-%s.$ext$" % number, manifest)
    return ET.parse(manifest)


def name_audio_files(folder, tree):
    """Gives the audio's files names that begin with "audio", as the site's
    types go by name: audio/mp4 for them, video/mp4 for the others."""
    for adaptation, representation in representations(tree):
        if adaptation.get("contentType") != "audio":
            continue
        template = representation.find(q("SegmentTemplate"))
        init = fill(template.get("initialization"), representation)
        # The media files' names up to their number or time.
        pieces = fill(template.get("media").split("$Time$")[0].split("$Number")[0], representation)
        for name in os.listdir(folder):
            if name == init or name.startswith(pieces):
                os.rename(os.path.join(folder, name), os.path.join(folder, "audio-" + name))
        for attribute in ("initialization", "media"):
            template.set(attribute, "audio-" + template.get(attribute))


def check_files(folder, tree):
    """Every file the manifest names is in the folder, and nothing else is;
    the number of media segments of each Representation."""
    period = seconds(tree.getroot().get("mediaPresentationDuration"))
    named, counts = {"manifest.mpd"}, {}
    for _, representation in representations(tree):
        files = template_files(representation, period)
        counts[representation.get("id")] = len(files) - 1
        named.update(files)
    present = set(os.listdir(folder))
    if named != present:
        raise ManifestError("the manifest in %s and its files differ: missing %s, left over %s" % (
            folder, sorted(named - present), sorted(present - named)))
    return counts


def write(tree, path):
    ET.indent(tree, "  ")
    tree.write(path, encoding="utf-8", xml_declaration=True)


def representation_facts(adaptation, representation, count, sources):
    facts = {"id": representation.get("id"), "content": adaptation.get("contentType"),
             "bandwidth": int(representation.get("bandwidth")), "codecs": representation.get("codecs"),
             "segments": count}
    if facts["content"] == "video":
        height = int(representation.get("height"))
        facts.update(width=int(representation.get("width")), height=height, video=sources.video_facts(height))
    else:
        language = adaptation.get("lang")
        facts.update(language=language, audio=sources.audio_facts(language))
    return facts


def manifest_facts(tree, addressing, rows):
    return {"kind": "dash", "addressing": addressing,
            "seconds": seconds(tree.getroot().get("mediaPresentationDuration")), "representations": rows}


def make_templated(root, sources, name, addressing, languages):
    """A SegmentTemplate manifest: "timeline" ($Time$) or "number" ($Number$)."""
    folder = os.path.join(root, name)
    tree = package(folder, sources, addressing, languages)
    name_audio_files(folder, tree)
    if addressing == "timeline":
        for template in tree.getroot().iter(q("SegmentTemplate")):
            # Any first number is right for $Time$ addresses; ffmpeg's own
            # reader (5.1) takes it for the index of the timeline's first
            # entry, and from 1 would skip a segment.
            template.set("startNumber", "0")
    write(tree, os.path.join(folder, "manifest.mpd"))
    counts = check_files(folder, tree)
    rows = [representation_facts(a, r, counts[r.get("id")], sources) for a, r in representations(tree)]
    return tree, {"%s/manifest.mpd" % name: manifest_facts(tree, addressing, rows)}


def fragment(outputs):
    """Each (source, out) as a fragmented MP4 with a segment index (sidx)
    after its moov, in one run of ffmpeg; for each the byte ranges of the
    initialization (ftyp and moov) and of the index, and how many
    subsegments the index lists."""
    inputs, writes = [], []
    for i, (source, out) in enumerate(outputs):
        inputs += ["-i", source]
        writes += ["-map", "%d" % i, "-c", "copy", "-avoid_negative_ts", "make_zero", "-movflags",
                   "+frag_keyframe+empty_moov+default_base_moof+global_sidx", out]
    media.ffmpeg(*inputs, *writes)
    return [ranges(out) for _, out in outputs]


def ranges(path):
    boxes = {kind: (offset, size) for kind, offset, size in mp4_boxes.top_level_boxes(path)}
    if b"moov" not in boxes or b"sidx" not in boxes:
        raise ManifestError("%s has no moov or no sidx" % path)
    moov_offset, moov_size = boxes[b"moov"]
    sidx_offset, sidx_size = boxes[b"sidx"]
    return ("0-%d" % (moov_offset + moov_size - 1), "%d-%d" % (sidx_offset, sidx_offset + sidx_size - 1),
            mp4_boxes.subsegment_count(path, sidx_offset))


def element(parent, tag, **attributes):
    return ET.SubElement(parent, q(tag), {k.replace("_", ""): str(v) for k, v in attributes.items()})


def based_representation(adaptation, folder, file_name, found, **attributes):
    """A Representation of one file in media/, found: what fragment() says of it."""
    initialization, index, count = found
    bandwidth = int(os.path.getsize(os.path.join(folder, "media", file_name)) * 8 / media.SECONDS)
    representation = element(adaptation, "Representation", bandwidth=bandwidth, **attributes)
    ET.SubElement(representation, q("BaseURL")).text = "media/" + file_name
    base = element(representation, "SegmentBase", indexRange=index)
    element(base, "Initialization", range=initialization)
    return representation, count


def make_segment_base(root, sources):
    """dash-base: each Representation one fragmented MP4 in media/, its pieces
    found through SegmentBase's indexRange. (The folder is named in each
    Representation's BaseURL: ffmpeg's reader, a peer in the tests and the
    benchmarks, does not join the BaseURLs of the levels above.)"""
    name = "dash-base"
    folder = os.path.join(root, name)
    os.makedirs(os.path.join(folder, "media"))
    files = [("video-%d.mp4" % h, sources.video(h)) for _, h, _ in media.SIZES] + [
        ("audio-en.mp4", sources.audio("en"))]
    found = dict(zip((n for n, _ in files),
                     fragment([(source, os.path.join(folder, "media", n)) for n, source in files])))
    mpd = ET.Element(q("MPD"), {"profiles": "urn:mpeg:dash:profile:isoff-on-demand:2011", "type": "static",
                                "mediaPresentationDuration": "PT%dS" % media.SECONDS, "minBufferTime": "PT2S"})
    period = element(mpd, "Period", id="0")
    video = element(period, "AdaptationSet", id="0", contentType="video", mimeType="video/mp4",
                    subsegmentAlignment="true", subsegmentStartsWithSAP="1")
    rows = []
    for _, height, _ in media.SIZES:
        facts = sources.video_facts(height)
        file_name = "video-%d.mp4" % height
        representation, count = based_representation(
            video, folder, file_name, found[file_name], id="v%d" % height, codecs=sources.codec(height),
            width=facts["width"], height=height, frameRate=media.FRAME_RATE)
        rows.append(representation_facts(video, representation, count, sources))
    audio = element(period, "AdaptationSet", id="1", contentType="audio", mimeType="audio/mp4", lang="en",
                    subsegmentAlignment="true", subsegmentStartsWithSAP="1")
    representation, count = based_representation(audio, folder, "audio-en.mp4", found["audio-en.mp4"],
                                                 id="a-en", codecs=AAC, audioSamplingRate=48000)
    rows.append(representation_facts(audio, representation, count, sources))
    tree = ET.ElementTree(mpd)
    write(tree, os.path.join(folder, "manifest.mpd"))
    return {"%s/manifest.mpd" % name: manifest_facts(tree, "base", rows)}


def borrowing(tree, base):
    """A copy of a manifest whose segments are found in another folder."""
    tree = copy.deepcopy(tree)
    root = tree.getroot()
    after = len(root.findall(q("ProgramInformation")))
    url = ET.Element(q("BaseURL"))
    url.text = base
    root.insert(after, url)
    return tree


def make_refused(root, number_tree):
    """dash-live (type="dynamic": still being written) and dash-drm
    (ContentProtection: keys only a licensed player gets), over the segments
    of dash-number."""
    live = borrowing(number_tree, "../dash-number/")
    mpd = live.getroot()
    del mpd.attrib["mediaPresentationDuration"]
    mpd.set("type", "dynamic")
    mpd.set("availabilityStartTime", "2024-01-01T00:00:00Z")
    mpd.set("publishTime", "2024-01-01T00:00:00Z")
    mpd.set("minimumUpdatePeriod", "PT2S")
    mpd.set("timeShiftBufferDepth", "PT30S")
    protected = borrowing(number_tree, "../dash-number/")
    for adaptation in protected.getroot().iter(q("AdaptationSet")):
        adaptation.insert(0, ET.Element(q("ContentProtection"), {
            "schemeIdUri": "urn:mpeg:dash:mp4protection:2011", "value": "cenc",
            "{%s}default_KID" % CENC: "10000000-1000-1000-1000-100000000001"}))
        adaptation.insert(1, ET.Element(q("ContentProtection"), {
            # Widevine's system identifier.
            "schemeIdUri": "urn:uuid:edef8ba9-79d6-4ace-a3c8-27dcd51d21ed"}))
    facts = {}
    for name, tree, reason in (("dash-live", live, "live"), ("dash-drm", protected, "drm")):
        os.makedirs(os.path.join(root, name))
        write(tree, os.path.join(root, name, "manifest.mpd"))
        facts["%s/manifest.mpd" % name] = {"kind": "dash", "refused": reason}
    return facts


def makers(root, sources):
    """The steps that make the DASH streams, each giving facts; they do not
    depend on each other and may run side by side."""
    def numbered():
        number_tree, facts = make_templated(root, sources, "dash-number", "number", ["en"])
        facts.update(make_refused(root, number_tree))
        return facts

    return [lambda: make_templated(root, sources, "dash", "timeline", list(media.TONES))[1], numbered,
            lambda: make_segment_base(root, sources)]

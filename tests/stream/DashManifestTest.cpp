#include "stream/DashManifest.h"
#include "stream/EStreamManifest.h"
#include "stream/StreamLimits.h"
#include "stream/TrackText.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

TStreamTrack CompleteTrack(const TDashManifest& manifest, const std::string& id)
{
    std::variant<TStreamTrack, TDashIndexRequest> track = DashTrack(manifest, id);
    EXPECT_TRUE(std::holds_alternative<TStreamTrack>(track)) << id;
    return std::holds_alternative<TStreamTrack>(track) ? std::get<TStreamTrack>(track) : TStreamTrack{};
}

// A sidx box: version 0 or 1, its references (size, duration) of media.
std::string SidxBox(int version, std::uint32_t timescale, std::uint64_t firstOffset,
                    const std::vector<std::pair<std::uint32_t, std::uint32_t>>& references)
{
    std::string box;
    auto put = [&box](std::uint64_t value, int bytes) {
        for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
            box += static_cast<char>((value >> shift) & 0xff);
    };
    const int wide = version == 0 ? 4 : 8;
    put(8 + 4 + 8 + 2 * wide + 4 + 12 * references.size(), 4);
    box += "sidx";
    put(version, 1);
    put(0, 3);         // flags
    put(1, 4);         // reference_ID
    put(timescale, 4); // timescale
    put(0, wide);      // earliest_presentation_time
    put(firstOffset, wide);
    put(0, 2);
    put(references.size(), 2);
    for (const auto& [size, duration] : references) {
        put(size, 4);
        put(duration, 4);
        put(0x90000000, 4); // starts with a SAP of type 1
    }
    return box;
}

// A manifest of one Period of ten seconds around the AdaptationSets given.
std::string OnePeriod(const std::string& sets)
{
    return "<MPD mediaPresentationDuration=\"PT10S\"><Period>" + sets + "</Period></MPD>";
}

} // namespace

TEST(DashManifest, ReadsTheFormatsAndAudioOfEachManifest)
{
    const struct {
        const char* file;
        const char* title;
        double duration;
        Texts formats; // id width x height bandwidth codecs container
        Texts audio;   // id address language name default bandwidth codecs
    } rows[] = {
        // A text AdaptationSet is passed over; a Representation takes what it
        // does not tell from its AdaptationSet; an audio rendition's address
        // is its BaseURL.
        {"dash-timeline.mpd",
         "Tide pools at low water",
         33,
         {"v720 1280x720 3000000 avc1.4d401f fmp4", "v360 640x360 800000 avc1.4d401e fmp4"},
         {"a-es https://cdn.example.net/shows/tide/ es Castellano default 128000 mp4a.40.2"}},
        // Kinds from mimeType or codecs alone; "2000000.0" is 2000000.
        {"dash-number.mpd",
         "",
         9.5,
         {"hd 1920x1080 2000000 avc1.64001f fmp4"},
         {"aac https://example.org/films/night.mpd   - 96000 mp4a.40.2"}},
        {"dash-list-base.mpd",
         "",
         12,
         {"list 640x360 500000 avc1.4d401e fmp4", "whole 854x480 900000 avc1.4d401e mp4"},
         {"a1 https://example.org/films/audio/en.mp4 en  - 128000 mp4a.40.2",
          "a2 https://example.org/films/audio/en-low.mp4 en  - 64000 mp4a.40.2"}},
    };
    for (const auto& row : rows) {
        const TDashManifest manifest = ReadDashManifest(ManifestFile(row.file), "https://example.org/films/night.mpd");
        EXPECT_FALSE(manifest.Live) << row.file;
        EXPECT_EQ(manifest.Protection, spNone) << row.file;
        EXPECT_EQ(manifest.Title, row.title) << row.file;
        EXPECT_DOUBLE_EQ(manifest.Duration, row.duration) << row.file;
        Texts formats, audio;
        for (const TStreamFormat& format : manifest.Formats)
            formats.push_back(format.Id + " " + std::to_string(format.Width.value_or(0)) + "x" +
                              std::to_string(format.Height.value_or(0)) + " " +
                              std::to_string(format.Bandwidth.value_or(0)) + " " + format.Codecs + " " +
                              format.Container);
        for (const TAudioRendition& rendition : manifest.Audio)
            audio.push_back(rendition.Id + " " + rendition.Address + " " + rendition.Language + " " + rendition.Name +
                            " " + (rendition.Default ? "default" : "-") + " " +
                            std::to_string(rendition.Bandwidth.value_or(0)) + " " + rendition.Codecs);
        EXPECT_EQ(formats, row.formats) << row.file;
        EXPECT_EQ(audio, row.audio) << row.file;
    }
}

TEST(DashManifest, MakesTheTrackOfEachRepresentation)
{
    const struct {
        const char* file;
        const char* id;
        const char* folder; // left out of the texts
        Texts inits;
        Texts segments;
        double duration;
    } rows[] = {
        // r repeats; an S without t follows the one before; r="-1" runs to
        // the Period's end (33 s).
        {"dash-timeline.mpd",
         "v720",
         "https://cdn.example.net/shows/tide/video/",
         {"v720/init.mp4"},
         {"v720/t0.m4s 4s i0", "v720/t4000.m4s 4s i0", "v720/t8000.m4s 4s i0", "v720/t12000.m4s 2s i0",
          "v720/t20000.m4s 5s i0", "v720/t25000.m4s 5s i0", "v720/t30000.m4s 5s i0"},
         29},
        // The Representation's template completes the AdaptationSet's; a
        // BaseURL without a trailing "/" gives up its last segment.
        {"dash-timeline.mpd",
         "v360",
         "https://other.example.net/v360/",
         {"v360/init.mp4"},
         {"low/800000/0.m4s 4s i0", "low/800000/4000.m4s 4s i0", "low/800000/8000.m4s 4s i0",
          "low/800000/12000.m4s 2s i0", "low/800000/20000.m4s 5s i0", "low/800000/25000.m4s 5s i0",
          "low/800000/30000.m4s 5s i0"},
         29},
        // r="-1" runs to the next S's t.
        {"dash-timeline.mpd",
         "a-es",
         "https://cdn.example.net/shows/tide/",
         {},
         {"audio/a-es/0.m4s 10s", "audio/a-es/10000.m4s 10s", "audio/a-es/20000.m4s 10s", "audio/a-es/30000.m4s 3s"},
         33},
        // ceil(9.5 s / 2 s) segments from startNumber, the last one short.
        {"dash-number.mpd",
         "hd",
         "https://example.org/films/",
         {"init-hd.mp4"},
         {"seg-hd-00007.m4s?a=$ 2s i0", "seg-hd-00008.m4s?a=$ 2s i0", "seg-hd-00009.m4s?a=$ 2s i0",
          "seg-hd-00010.m4s?a=$ 2s i0", "seg-hd-00011.m4s?a=$ 1.5s i0"},
         9.5},
        {"dash-list-base.mpd",
         "list",
         "https://example.org/films/media/",
         {"init.mp4 @0+800"},
         {"video.mp4 @800+1000 4s i0", "extra.mp4 @0+500 4s i0", "last.mp4 4s i0"},
         12},
        {"dash-list-base.mpd", "whole", "https://example.org/films/media/", {}, {"whole.mp4 12s"}, 12},
        // Periods joined: the third continues the first by height, after a
        // discontinuity; the second, without video or audio, counts for none.
        {"dash-periods.mpd",
         "hi",
         "https://cdn.example.net/",
         {"p1/hi/init.mp4", "second/b-720-init.mp4"},
         {"p1/hi/1.m4s 5s i0", "p1/hi/2.m4s 5s i0", "second/b-720-0.m4s 2s i1 d1", "second/b-720-1.m4s 2s i1 d1",
          "second/b-720-2.m4s 2s i1 d1"},
         16},
        {"dash-periods.mpd",
         "lo",
         "https://cdn.example.net/",
         {"p1/lo/init.mp4", "second/b-360-init.mp4"},
         {"p1/lo/1.m4s 5s i0", "p1/lo/2.m4s 5s i0", "second/b-360-0.m4s 2s i1 d1", "second/b-360-1.m4s 2s i1 d1",
          "second/b-360-2.m4s 2s i1 d1"},
         16},
        {"dash-periods.mpd",
         "audio",
         "https://cdn.example.net/",
         {},
         {"p1/audio/1.m4s 5s", "p1/audio/2.m4s 5s", "second/audio-0.m4s 2s d1", "second/audio-1.m4s 2s d1",
          "second/audio-2.m4s 2s d1"},
         16},
    };
    for (const auto& row : rows) {
        const TDashManifest manifest = ReadDashManifest(ManifestFile(row.file), "https://example.org/films/night.mpd");
        const TStreamTrack track = CompleteTrack(manifest, row.id);
        EXPECT_EQ(InitTexts(track, row.folder), row.inits) << row.file << " " << row.id;
        EXPECT_EQ(SegmentTexts(track, row.folder), row.segments) << row.file << " " << row.id;
        EXPECT_DOUBLE_EQ(track.Duration, row.duration) << row.file << " " << row.id;
    }
}

TEST(DashManifest, ReadsTheSegmentsOfAFileFromItsIndex)
{
    const TDashManifest manifest =
        ReadDashManifest(ManifestFile("dash-list-base.mpd"), "https://example.org/films/night.mpd");
    const std::string folder = "https://example.org/films/audio/";
    const std::string styp = std::string("\0\0\0\x10styp", 8) + "msdhmsdh";
    const struct {
        const char* id;
        std::string sidx;
        const char* index;
        const char* init;
        Texts segments;
    } rows[] = {
        // Without Initialization the init section is what precedes the
        // index; the subsegments follow the box.
        {"a1",
         SidxBox(0, 1000, 0, {{5000, 4000}, {6000, 4000}, {3000, 4000}}),
         "en.mp4 @1000+100",
         "en.mp4 @0+1000",
         {"en.mp4 @1068+5000 4s i0", "en.mp4 @6068+6000 4s i0", "en.mp4 @12068+3000 4s i0"}},
        // Version 1 after another box, with a first_offset.
        {"a2",
         styp + SidxBox(1, 48000, 32, {{1000, 96000}, {2000, 48000}}),
         "en-low.mp4 @700+100",
         "en-low.mp4 @0+600",
         {"en-low.mp4 @812+1000 2s i0", "en-low.mp4 @1812+2000 1s i0"}},
    };
    for (const auto& row : rows) {
        std::variant<TStreamTrack, TDashIndexRequest> first = DashTrack(manifest, row.id);
        ASSERT_TRUE(std::holds_alternative<TDashIndexRequest>(first)) << row.id;
        const TDashIndexRequest& request = std::get<TDashIndexRequest>(first);
        EXPECT_EQ(PieceText(request.Index, folder), row.index);
        ASSERT_TRUE(request.Init) << row.id;
        EXPECT_EQ(PieceText(*request.Init, folder), row.init);
        const TStreamTrack track = TrackFromIndex(request, row.sidx);
        EXPECT_EQ(InitTexts(track, folder), Texts{row.init});
        EXPECT_EQ(SegmentTexts(track, folder), row.segments) << row.id;
    }
}

TEST(DashManifest, RefusesIndexesItCannotRead)
{
    TDashIndexRequest request;
    request.RepresentationId = "a1";
    request.Index = TStreamPiece{"https://example.org/a.mp4", TByteRange{100, 200}, std::nullopt};
    request.Media = TStreamPiece{"https://example.org/a.mp4", std::nullopt, std::nullopt};
    std::string hierarchical = SidxBox(0, 1000, 0, {{5000, 4000}});
    hierarchical[32] |= '\x80';
    std::string version2 = SidxBox(0, 1000, 0, {});
    version2[8] = 2;
    const struct {
        std::string bytes;
        const char* reason;
    } rows[] = {
        {"", "%s is missing"},
        {std::string("\0\0\0\x10"
                     "free12345678",
                     16),
         "%s is missing"},
        {SidxBox(0, 1000, 0, {{5000, 4000}}).substr(0, 40), "it is cut short"},
        {std::string("\0\0\0\x08sid", 7), "%s is missing"},
        {std::string("\0\0\0\x04sidx", 8), "it is cut short"},
        {SidxBox(0, 0, 0, {{5000, 4000}}), "%s has an invalid value (%s)"},
        {SidxBox(0, 1000, 0, {{0, 4000}}), "%s has an invalid value (%s)"},
        {SidxBox(1, 1000, ~std::uint64_t(0), {{10, 4000}}), "%s has an invalid value (%s)"},
        {version2, "%s has an invalid value (%s)"},
        {hierarchical, "%s is not supported"},
    };
    for (const auto& row : rows) {
        try {
            TrackFromIndex(request, row.bytes);
            ADD_FAILURE() << "read: " << row.reason;
        } catch (const EStreamManifest& error) {
            EXPECT_TRUE(
                std::string(error.what()).starts_with("The manifest cannot be read: sidx of Representation a1: "))
                << error.what();
            EXPECT_STREQ(error.Reason(), row.reason) << error.what();
        }
    }
}

TEST(DashManifest, TellsLiveAndProtectedManifests)
{
    const std::string set = "<AdaptationSet contentType=\"video\">%s<Representation id=\"v\" height=\"720\">"
                            "<SegmentTemplate media=\"$Number$.m4s\" duration=\"2\"/></Representation></AdaptationSet>";
    const std::string protection = "<ContentProtection schemeIdUri=\"urn:mpeg:dash:mp4protection:2011\"/>";
    auto withSet = [&](const std::string& inside) {
        return set.substr(0, set.find("%s")) + inside + set.substr(set.find("%s") + 2);
    };
    const TDashManifest live = ReadDashManifest(
        "<MPD type=\"dynamic\" availabilityStartTime=\"2024-01-01T00:00:00Z\"><Period start=\"PT0S\">" + withSet("") +
            "</Period></MPD>",
        "https://example.org/live.mpd");
    EXPECT_TRUE(live.Live);
    EXPECT_EQ(live.Duration, 0);
    // Its segments cannot be counted: the Period has no end.
    EXPECT_THROW(DashTrack(live, "v"), EStreamManifest);
    EXPECT_EQ(ReadDashManifest(OnePeriod(withSet(protection)), "https://example.org/a.mpd").Protection, spDrm);
    EXPECT_EQ(ReadDashManifest(OnePeriod(withSet("")), "https://example.org/a.mpd").Protection, spNone);
}

TEST(DashManifest, NamesTheElementOfABrokenManifest)
{
    // A video AdaptationSet of one Representation around what is given.
    auto video = [](const std::string& inside, const std::string& attributes = "id=\"v1\"") {
        return "<AdaptationSet contentType=\"video\"><Representation " + attributes + ">" + inside +
            "</Representation></AdaptationSet>";
    };
    const std::string audio = "<AdaptationSet contentType=\"audio\"><Representation id=\"a1\"/></AdaptationSet>";
    const struct {
        std::string text;
        const char* place; // empty for none
        const char* reason;
    } rows[] = {
        {"<MPD><Period>", "", "it is not XML (%s at byte %s)"},
        {"<html><body/></html>", "", "%s is missing"},
        {"<MPD mediaPresentationDuration=\"-PT5S\"/>", "MPD", "%s has an invalid value (%s)"},
        {"<MPD mediaPresentationDuration=\"PT5S3M\"/>", "MPD", "%s has an invalid value (%s)"},
        {"<MPD mediaPresentationDuration=\"PT10S\"><Period start=\"PT20S\"/></MPD>", "Period 1",
         "%s has an invalid value (%s)"},
        {OnePeriod(video("", "bandwidth=\"1\"")), "Representation 1 of AdaptationSet 1", "%s is missing"},
        {OnePeriod(video("", "id=\"v1\" width=\"0\"")), "Representation v1", "%s has an invalid value (%s)"},
        {OnePeriod(video("") + video("")), "Period 1", "the id %s is used twice"},
        // Templates: timescale 0, bad identifiers and formats, no media.
        {OnePeriod(video("<SegmentTemplate timescale=\"0\" duration=\"1\" media=\"$Number$\"/>")),
         "SegmentTemplate of Representation v1", "%s has an invalid value (%s)"},
        {OnePeriod(video("<SegmentTemplate duration=\"1\" media=\"$Numbre$.m4s\"/>")),
         "SegmentTemplate of Representation v1", "%s has an invalid value (%s)"},
        {OnePeriod(video("<SegmentTemplate duration=\"1\" media=\"$Number%0999d$.m4s\"/>")),
         "SegmentTemplate of Representation v1", "%s has an invalid value (%s)"},
        {OnePeriod(video("<SegmentTemplate duration=\"1\" media=\"$Number.m4s\"/>")),
         "SegmentTemplate of Representation v1", "%s has an invalid value (%s)"},
        {OnePeriod(video("<SegmentTemplate duration=\"1\" media=\"a\" initialization=\"$Number$.mp4\"/>")),
         "SegmentTemplate of Representation v1", "%s has an invalid value (%s)"},
        {OnePeriod(video("<SegmentTemplate duration=\"1\" media=\"$Bandwidth$/$Number$\"/>")),
         "SegmentTemplate of Representation v1", "%s is missing"},
        {OnePeriod(video("<SegmentTemplate duration=\"1\"/>")), "SegmentTemplate of Representation v1",
         "%s is missing"},
        // Timelines: no d, a negative repeat, more segments than the bound,
        // also by r="-1", and times beyond any.
        {OnePeriod(video("<SegmentTemplate media=\"$Time$\"><SegmentTimeline><S t=\"0\"/></SegmentTimeline>"
                         "</SegmentTemplate>")),
         "SegmentTimeline of Representation v1", "%s is missing"},
        {OnePeriod(video("<SegmentTemplate media=\"$Time$\"><SegmentTimeline><S d=\"1\" r=\"-2\"/></SegmentTimeline>"
                         "</SegmentTemplate>")),
         "SegmentTimeline of Representation v1", "%s has an invalid value (%s)"},
        {OnePeriod(video("<SegmentTemplate media=\"$Time$\"><SegmentTimeline><S d=\"1\" r=\"100000\"/>"
                         "</SegmentTimeline></SegmentTemplate>")),
         "SegmentTimeline of Representation v1", "more than %s segments"},
        {OnePeriod(video("<SegmentTemplate media=\"$Time$\"><SegmentTimeline><S d=\"1\" r=\"99999\"/>"
                         "<S d=\"1\" r=\"1\"/></SegmentTimeline></SegmentTemplate>")),
         "SegmentTimeline of Representation v1", "more than %s segments"},
        {OnePeriod(video("<SegmentTemplate timescale=\"90000\" media=\"$Time$\"><SegmentTimeline><S d=\"1\" r=\"-1\"/>"
                         "</SegmentTimeline></SegmentTemplate>")),
         "SegmentTimeline of Representation v1", "more than %s segments"},
        {OnePeriod(video("<SegmentTemplate media=\"$Time$\"><SegmentTimeline><S t=\"9007199254740991\" d=\"5\" "
                         "r=\"1\"/></SegmentTimeline></SegmentTemplate>")),
         "SegmentTimeline of Representation v1", "%s has an invalid value (%s)"},
        {OnePeriod(video("<SegmentTemplate media=\"$Time$\"><SegmentTimeline/></SegmentTemplate>")),
         "SegmentTimeline of Representation v1", "%s is missing"},
        // A template's count from the duration: too many, or no duration.
        {OnePeriod(video("<SegmentTemplate timescale=\"90000\" duration=\"1\" media=\"$Number$\"/>")),
         "SegmentTemplate of Representation v1", "more than %s segments"},
        {"<MPD><Period>" + video("<SegmentTemplate duration=\"1\" media=\"$Number$\"/>") + "</Period></MPD>",
         "Period 1", "%s is missing"},
        // Lists and byte ranges.
        {OnePeriod(video("<SegmentList duration=\"1\"/>")), "SegmentList of Representation v1", "%s is missing"},
        {OnePeriod(video("<SegmentList><SegmentURL media=\"a\" mediaRange=\"9-3\"/></SegmentList>")),
         "SegmentURL of Representation v1", "%s has an invalid value (%s)"},
        {OnePeriod(video("<SegmentBase indexRange=\"100\"/>")), "SegmentBase of Representation v1",
         "%s has an invalid value (%s)"},
        // Addresses that are no web addresses.
        {OnePeriod(video("<BaseURL>ftp://example.org/v.mp4</BaseURL>")), "Representation v1",
         "%s is not an http or https address"},
        {OnePeriod(video("<BaseURL>data:video/mp4,AAAA</BaseURL><SegmentBase indexRange=\"0-9\"/>")),
         "Representation v1", "%s is not an http or https address"},
        // Periods that cannot be joined.
        {"<MPD mediaPresentationDuration=\"PT10S\"><Period duration=\"PT5S\">" +
             video("", "id=\"v1\" codecs=\"avc1.64001f\"") + "</Period><Period>" +
             video("", "id=\"v1\" codecs=\"hvc1.1.6.L93.90\"") + "</Period></MPD>",
         "Period 2", "the codecs of %s (%s) differ from those of %s (%s)"},
        {"<MPD mediaPresentationDuration=\"PT10S\"><Period duration=\"PT5S\">" + video("") + audio +
             "</Period><Period id=\"ad\">" + video("") + "</Period></MPD>",
         "Period ad", "no Representation continues %s"},
        {"<MPD mediaPresentationDuration=\"PT10S\"><Period duration=\"PT5S\">" +
             video("<SegmentBase indexRange=\"0-9\"/>") + "</Period><Period>" + video("") + "</Period></MPD>",
         "Representation v1", "its segment index cannot be joined across Periods"},
        {std::string(kMaxManifestBytes + 1, ' '), "", "it is larger than %s MiB"},
    };
    for (const auto& row : rows) {
        try {
            const TDashManifest manifest = ReadDashManifest(row.text, "https://example.org/a.mpd");
            for (const TDashPieces& pieces : manifest.Pieces)
                DashTrack(manifest, pieces.Id);
            ADD_FAILURE() << "read: " << row.text.substr(0, 300);
        } catch (const EStreamManifest& error) {
            const std::string where =
                std::string("The manifest cannot be read: ") + row.place + (*row.place ? ": " : "");
            EXPECT_TRUE(std::string(error.what()).starts_with(where)) << error.what() << "\n"
                                                                      << row.text.substr(0, 300);
            EXPECT_STREQ(error.Reason(), row.reason) << error.what();
        }
    }
    EXPECT_THROW(DashTrack(ReadDashManifest(OnePeriod(video("")), "https://example.org/a.mpd"), "v2"), EStreamManifest);
}

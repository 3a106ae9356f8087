#include "app/StreamLink.h"
#include "app/ManifestKind.h"
#include "app/TResolutionThread.h"
#include "app/VideoDownload.h"
#include "i18n/GnuGettext.h"
#include "support/DemoSiteSuite.h"
#include "support/NginxServer.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>

using nlohmann::json;

TEST(ManifestKind, TheAnswersTypeThenThePathThenTheText)
{
    const std::string mpd = "<?xml version='1.0'?>\n<!-- made by hand -->\n<MPD type=\"static\"></MPD>";
    const struct {
        const char* type;
        const char* path;
        std::string text;
        TPiecesFormat kind;
    } rows[] = {
        {"application/vnd.apple.mpegurl", "/x.mpd", mpd, pfHls}, // the type wins
        {"Application/Dash+XML; charset=utf-8", "/x", "#EXTM3U", pfDash},
        {"text/plain", "/live/Index.M3U8", mpd, pfHls}, // then the path
        {"application/octet-stream", "/play", "\xEF\xBB\xBF#EXTM3U\n", pfHls},
        {"", "/play", mpd, pfDash},
        {"", "/play", "<dash:MPD xmlns:dash='urn:mpeg:dash:schema:mpd:2011'/>", pfDash},
        // Neither: a web page, a root of another name, a prolog never closed.
        {"text/html", "/play", "<html><body>#EXTM3U</body></html>", pfNone},
        {"", "/play", "<MPDX/>", pfNone},
        {"", "/play", "<?xml version='1.0' <MPD>", pfNone},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ManifestKind(row.type, row.path, row.text), row.kind) << row.type << " " << row.path;
}

namespace {

const json& Facts(const DemoSite& site)
{
    static const json facts = json::parse(FileBytes(site.StreamFactsFile()));
    return facts["streams"];
}

const json& Find(const json& list, const char* field, const json& value)
{
    for (const json& item : list)
        if (item.contains(field) && item[field] == value)
            return item;
    static const json none;
    ADD_FAILURE() << "no " << field << " " << value;
    return none;
}

std::string FailureText(const TResolution& resolution)
{
    if (!resolution.Failure)
        return "";
    try {
        std::rethrow_exception(resolution.Failure);
    } catch (const std::exception& failure) {
        return failure.what();
    }
}

} // namespace

class StreamResolution : public DemoSiteSuite {
protected:
    // The resolution runs on the translation engine's thread here: its
    // messages come in the language of the moment.
    void SetUp() override { SelectLanguage("en"); }

    static TResolution Resolve(const std::string& address, TVideoQuality quality = vqHighQuality,
                               const std::string& language = "en")
    {
        return ResolveVideo(ReadVideoAddress(address), quality, language, site->Host(), TPageBounds());
    }

    // The plan of an address that must resolve to a stream.
    static TStreamPlan PlanOf(const TResolution& resolution)
    {
        EXPECT_FALSE(resolution.Failure) << FailureText(resolution);
        EXPECT_TRUE(resolution.Video && resolution.Video->Stream);
        return resolution.Video && resolution.Video->Stream ? *resolution.Video->Stream : TStreamPlan{};
    }
};

// Every kind of stream the demo site serves, by a direct link, against what
// facts.json says of its playlists: the height each quality button chooses,
// the audio the language chooses, the segments and the container.
TEST_F(StreamResolution, EachKindOfStreamIsPlannedAsItsFactsSay)
{
    const struct {
        const char* path; // under /streams/
        TVideoQuality quality;
        const char* language;
        int height;
        const char* audio; // the language of the separate audio, "" when the video carries it
    } rows[] = {
        // HLS in MPEG-TS and in fragmented MP4, two languages in an audio group.
        {"hls/master.m3u8", vqHighDefinition, "es", 720, "es"},
        {"hls/master.m3u8", vqHighQuality, "en", 360, "en"},
        {"hls/master.m3u8", vqMobile, "fr", 180, "en"}, // no French: the default
        {"hls-fmp4/master.m3u8", vqNormal, "es_ES", 180, "es"},
        {"hls-fmp4/master.m3u8", vqHighDefinition, "en", 720, "en"},
        // AES-128 with the sound in the video.
        {"hls-aes/master.m3u8", vqHighQuality, "es", 360, ""},
        // DASH: a SegmentTimeline, $Number$, a SegmentBase read by its index.
        {"dash/manifest.mpd", vqHighDefinition, "es", 720, "es"},
        {"dash-number/manifest.mpd", vqHighQuality, "es", 360, "en"}, // English only
        {"dash-base/manifest.mpd", vqMobile, "en", 180, "en"},
        {"dash-base/manifest.mpd", vqHighDefinition, "en", 720, "en"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.path) + " " + QualityName(row.quality) + " " + row.language);
        const TResolution resolution = Resolve(site->StreamAddress(row.path), row.quality, row.language);
        const TStreamPlan plan = PlanOf(resolution);
        ASSERT_TRUE(resolution.Description);
        const TStreamDescription& description = *resolution.Description;
        const json& facts = Facts(*site)[row.path];
        const bool hls = facts["kind"] == "hls-master";
        // HLS tells the segments in the facts of each playlist, DASH in its Representations'.
        const json& video = Find(hls ? facts["variants"] : facts["representations"], "height", row.height);
        const json* audio =
            *row.audio ? &Find(hls ? facts["audio"] : facts["representations"], "language", row.audio) : nullptr;
        auto segments = [&](const json& item) -> std::size_t {
            return hls ? Facts(*site)[item["playlist"].get<std::string>()]["segments"] : item["segments"];
        };
        EXPECT_EQ(plan.Video.Segments.size(), segments(video));
        EXPECT_EQ(plan.Audio ? plan.Audio->Segments.size() : 0u, audio ? segments(*audio) : 0u);
        EXPECT_EQ(plan.AudioId.empty(), !audio);
        if (!hls) { // DASH Ids are the facts'
            EXPECT_EQ(plan.VideoId, video["id"]);
            EXPECT_EQ(plan.AudioId, audio ? (*audio)["id"] : json(""));
        }
        const auto chosen = std::find_if(description.Formats.begin(), description.Formats.end(),
                                         [&](const TStreamFormat& format) { return format.Id == plan.VideoId; });
        ASSERT_NE(chosen, description.Formats.end());
        EXPECT_EQ(chosen->Height, row.height);
        for (const TAudioRendition& rendition : description.Audio)
            if (rendition.Id == plan.AudioId) {
                EXPECT_EQ(rendition.Language, row.audio);
            }
        EXPECT_EQ(description.Kind, hls ? pfHls : pfDash);
        EXPECT_EQ(description.VideoSegments, plan.Video.Segments.size());
        EXPECT_EQ(description.AudioId, plan.AudioId);
        EXPECT_EQ(description.Protection, std::string(row.path).starts_with("hls-aes") ? spAes128 : spNone);
        EXPECT_NEAR(plan.Duration, 6.0, 0.05);
        EXPECT_NE(plan.Codecs.find("mp4a"), std::string::npos) << plan.Codecs;
        // Named after the manifest's own name, in the container of its codecs.
        const std::string name = std::filesystem::path(row.path).stem().string();
        EXPECT_EQ(resolution.Video->ProposedFileName, name + ".mp4");
        EXPECT_EQ(description.Title, name);
        EXPECT_EQ(resolution.Video->StreamAddress.Text(), site->StreamAddress(row.path));
        EXPECT_EQ(plan.ManifestAddress, site->StreamAddress(row.path));
    }
}

// Media playlists given themselves: one file read by byte ranges, and two
// clips apart by a discontinuity.
TEST_F(StreamResolution, AMediaPlaylistIsItsOwnOnlyFormat)
{
    const json& single = Facts(*site)["hls-single/index.m3u8"];
    TStreamPlan plan = PlanOf(Resolve(site->StreamAddress("hls-single/index.m3u8"), vqHighDefinition));
    ASSERT_EQ(plan.Video.Segments.size(), single["segments"]);
    for (const TStreamSegment& segment : plan.Video.Segments) {
        EXPECT_EQ(segment.Piece.Address, site->StreamAddress("hls-single/" + single["single_file"].get<std::string>()));
        EXPECT_TRUE(segment.Piece.Range);
    }
    EXPECT_NEAR(plan.Duration, single["seconds"].get<double>(), 1e-3);

    const json& clips = Facts(*site)["hls-discontinuity/index.m3u8"];
    const TResolution resolution = Resolve(site->StreamAddress("hls-discontinuity/index.m3u8"), vqMobile);
    plan = PlanOf(resolution);
    ASSERT_EQ(plan.Video.Segments.size(), clips["segments"]);
    EXPECT_EQ(plan.Video.Segments.back().Discontinuity, clips["discontinuities"]);
    EXPECT_FALSE(plan.Audio);
    EXPECT_EQ(plan.Codecs, "");
    EXPECT_EQ(resolution.Video->ProposedFileName, "index.mp4"); // no codecs named: MP4
    EXPECT_TRUE(resolution.Description->Formats.empty());
    EXPECT_EQ(resolution.Description->VideoSegments, clips["segments"]);
}

// A playlist reached through a redirect is read against where it was found:
// its relative addresses lead nowhere from the first address.
TEST_F(StreamResolution, APlaylistIsReadAgainstTheAddressItWasFoundAt)
{
    for (const auto& [moved, found] : {std::pair{"hls.m3u8", "hls/master.m3u8"}, {"dash.mpd", "dash/manifest.mpd"}}) {
        const TResolution resolution = Resolve(site->MovedStreamAddress(moved), vqHighDefinition);
        const TStreamPlan plan = PlanOf(resolution);
        EXPECT_EQ(plan.ManifestAddress, site->StreamAddress(found));
        EXPECT_EQ(resolution.Video->StreamAddress.Text(), site->StreamAddress(found));
        ASSERT_FALSE(plan.Video.Segments.empty()) << moved;
        EXPECT_EQ(plan.Video.Segments.front().Piece.Address.rfind(site->StreamAddress(""), 0), 0u)
            << plan.Video.Segments.front().Piece.Address;
        EXPECT_EQ(resolution.Video->ProposedFileName, std::filesystem::path(moved).stem().string() + ".mp4");
    }
}

// Each way a page names its stream, and a page whose file and stream have
// one height: the file wins.
TEST_F(StreamResolution, APageWhoseVideoIsStreamedIsSavedUnderItsTitle)
{
    const struct {
        const char* page;
        const char* stream; // under /streams/; none for a file
        const char* name;
    } rows[] = {
        {"tide-pools.html", "hls/master.m3u8", "Tide pools_ streamed.mp4"},              // <video src>
        {"kelp.html", "dash/manifest.mpd", "Kelp forest_ streamed.mp4"},                 // <source type>
        {"lights.html", "hls-aes/master.m3u8", "Harbour lights after dark.mp4"},         // og:video
        {"seabirds.html", "dash-number/manifest.mpd", "Seabirds _ Maritime museum.mp4"}, // JSON-LD
        {"live.html", "hls-fmp4/master.m3u8", "Live from the breakwater.mp4"},
        {"ranges.html", "hls-single/index.m3u8", "One file_ in ranges.mp4"},
        {"two-clips.html", "hls-discontinuity/index.m3u8", "Two clips_ one stream.mp4"},
        {"indexed.html", "dash-base/manifest.mpd", "An indexed DASH stream.mp4"},
        {"keynote.html", nullptr, "Keynote_ as a file or a stream.mp4"},
    };
    for (TVideoQuality quality : {vqHighDefinition, vqHighQuality, vqMobile})
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(row.page) + " " + QualityName(quality));
            const TResolution resolution = Resolve(site->PageAddress(row.page), quality);
            ASSERT_TRUE(resolution.Video) << FailureText(resolution);
            EXPECT_EQ(resolution.Video->ProposedFileName, row.name);
            EXPECT_EQ(resolution.Video->Stream.has_value(), row.stream != nullptr);
            EXPECT_EQ(resolution.Description.has_value(), row.stream != nullptr);
            if (row.stream)
                EXPECT_EQ(resolution.Video->StreamAddress.Text(), site->StreamAddress(row.stream));
            else
                EXPECT_EQ(resolution.Video->StreamAddress.Text(), "https://" + site->Host() + "/files/talk.mp4");
        }
}

// What cannot be saved is refused with a message that says why, and is
// described as far as it was read.
TEST_F(StreamResolution, LiveAndProtectedStreamsAreRefused)
{
    const std::string live = "This is a live stream; only recorded videos can be saved";
    const std::string drm = "This video is protected against copying (DRM) and cannot be saved";
    const struct {
        std::string address;
        std::string failure;
        TPiecesFormat kind;
    } rows[] = {
        {site->PageAddress("on-air.html"), live, pfHls}, // known by the variant's playlist
        {site->PageAddress("members.html"), drm, pfHls}, // a session key of SAMPLE-AES
        {site->StreamAddress("hls-live/index.m3u8"), live, pfHls},
        {site->StreamAddress("hls-drm/index.m3u8"), drm, pfHls},
        {site->StreamAddress("dash-live/manifest.mpd"), live, pfDash},
        {site->StreamAddress("dash-drm/manifest.mpd"), drm, pfDash},
    };
    for (const auto& row : rows) {
        const TResolution resolution = Resolve(row.address);
        EXPECT_FALSE(resolution.Video) << row.address;
        EXPECT_EQ(FailureText(resolution), row.failure) << row.address;
        ASSERT_TRUE(resolution.Description) << row.address;
        EXPECT_EQ(resolution.Description->Kind, row.kind);
        EXPECT_EQ(resolution.Description->Live, row.failure == live) << row.address;
        EXPECT_EQ(resolution.Description->Protection == spDrm, row.failure == drm) << row.address;
    }
    // The refused master's choice is described.
    const TResolution onAir = Resolve(site->PageAddress("on-air.html"));
    EXPECT_EQ(onAir.Description->VideoId, "0");
    EXPECT_EQ(onAir.Description->VideoSegments, 3u);
}

// Playlists and manifests of a server of the test's own: broken ones, and
// a SegmentBase index from a server that does not serve byte ranges.
class OwnStreams : public DemoSiteSuite {
protected:
    void SetUp() override
    {
        SelectLanguage("en");
        auto write = [&](const std::string& name, const std::string& text) {
            std::filesystem::create_directories(std::filesystem::path(root.File(name)).parent_path());
            std::ofstream(root.File(name), std::ios::binary) << text;
        };
        write("broken/index.m3u8", "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2,\na.ts\n#EXTINF:-3,\nb.ts\n");
        write("broken/master.m3u8", "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1,RESOLUTION=640x360\nindex.m3u8\n");
        write("broken/audio.m3u8", "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1,CODECS=\"mp4a.40.2\"\nindex.m3u8\n");
        write("broken/nested.m3u8", "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1,RESOLUTION=640x360\nmaster.m3u8\n");
        write("broken/page.m3u8", "<html><body>Not found</body></html>");
        write("broken/manifest.mpd", "<MPD><Period><AdaptationSet></MPD>");
        write("broken/page.html", "<video><source src=stream type=application/dash+xml></video>");
        write("broken/stream", "Sorry, no stream here");
        write("lone.m3u8", "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2,\na.ts\n#EXTINF:1.5,\nb.ts\n#EXT-X-ENDLIST\n");
        for (const char* copy : {"ranges", "whole"})
            std::filesystem::copy(site->StreamsFolder() + "/dash-base", root.File(copy),
                                  std::filesystem::copy_options::recursive);
    }

    TResolution Resolve(const std::string& path)
    {
        return ResolveVideo(ReadVideoAddress(nginx.BaseUrl() + "/" + path), vqHighDefinition, "en", site->Host(),
                            TPageBounds());
    }

    ScratchFolder root{"own-streams"};
    NginxServer nginx{root.path.string(),
                      "location /whole/ { max_ranges 0; }\n"
                      "location = /play { default_type application/vnd.apple.mpegurl; alias " +
                          root.File("lone.m3u8") + "; }"};
};

TEST_F(OwnStreams, APlaylistThatCannotBeReadSaysWhereAndWhy)
{
    const struct {
        const char* path;
        const char* failure;
    } rows[] = {
        {"broken/index.m3u8", "The playlist cannot be read: line 5: EXTINF has an invalid value (-3,)"},
        // A variant's playlist is read too.
        {"broken/master.m3u8", "The playlist cannot be read: line 5: EXTINF has an invalid value (-3,)"},
        {"broken/audio.m3u8", "The playlist cannot be read: it names no video"},
        {"broken/nested.m3u8", "The playlist cannot be read: it lists variants where segments were expected"},
        {"broken/page.m3u8", "The playlist cannot be read: line 1: #EXTM3U is missing"},
        {"broken/manifest.mpd", "The manifest cannot be read: it is not XML (Start-end tags mismatch at byte 30)"},
        // A page's source that says it is DASH, and is nothing of the kind.
        {"broken/page.html", "This address leads to neither an HLS playlist nor a DASH manifest"},
    };
    for (const auto& row : rows) {
        const TResolution resolution = Resolve(row.path);
        EXPECT_FALSE(resolution.Video) << row.path;
        EXPECT_EQ(FailureText(resolution), row.failure) << row.path;
    }
}

// An address that says nothing of a stream, whose answer is a playlist.
TEST_F(OwnStreams, AnAnswerThatIsAPlaylistIsReadAsOne)
{
    const TResolution resolution = Resolve("play?id=4");
    ASSERT_FALSE(resolution.Failure) << FailureText(resolution);
    EXPECT_EQ(resolution.Video->ProposedFileName, "play.mp4");
    EXPECT_EQ(resolution.Video->Stream->Video.Segments.size(), 2u);
    EXPECT_EQ(resolution.Video->Stream->Video.Segments[1].Piece.Address, nginx.BaseUrl() + "/b.ts");
    EXPECT_DOUBLE_EQ(resolution.Description->Duration, 3.5);
}

// A SegmentBase's index is asked for by its byte range; a server that
// does not serve ranges sends the whole file, in which it is found.
TEST_F(OwnStreams, AnIndexIsReadByItsRangeOrFromTheWholeFile)
{
    const json& facts = Find(Facts(*site)["dash-base/manifest.mpd"]["representations"], "height", 720);
    for (const auto& [folder, status] : {std::pair{"ranges", " 206 "}, {"whole", " 200 "}}) {
        const TResolution resolution = Resolve(std::string(folder) + "/manifest.mpd");
        ASSERT_FALSE(resolution.Failure) << FailureText(resolution);
        EXPECT_EQ(resolution.Video->Stream->Video.Segments.size(), facts["segments"]) << folder;
        const std::vector<std::string> asked = nginx.LogLinesFor("/" + std::string(folder) + "/media/video-720.mp4");
        ASSERT_EQ(asked.size(), 1u) << folder;
        EXPECT_NE(asked[0].find(status), std::string::npos) << asked[0];
        EXPECT_NE(asked[0].find("\"bytes=798-909\""), std::string::npos) << asked[0];
    }
}

// A failure made on the resolution's thread reads in the language of the
// moment it is taken, with its place and reason.
TEST_F(OwnStreams, AFailureIsWordedInTheLanguageOfTheMoment)
{
    TResolutionThread lookup(ReadVideoAddress(nginx.BaseUrl() + "/broken/index.m3u8"), vqHighQuality, "es",
                             site->Host(), TPageBounds());
    lookup.Start();
    lookup.WaitFor();
    SelectLanguage("es");
    const std::string failure = FailureText(lookup.TakeResolution());
    SelectLanguage("en");
    EXPECT_EQ(failure,
              "No se puede leer la lista de reproducci\xc3\xb3n: l\xc3\xadnea 5: EXTINF tiene un valor no "
              "v\xc3\xa1lido (-3,)");
}

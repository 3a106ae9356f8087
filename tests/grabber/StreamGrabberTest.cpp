// The stream grabber against the demo site's real streams: every kind saved
// as one file that decodes to exactly the rendition's frames and sound, a
// faltering server, a piece that cannot be had, and a run that goes on from
// the pieces an earlier one stored.
#include "GrabberRecorder.h"

#include "grabber/TGrabberPartFile.h"
#include "grabber/TJvStreamUrlGrabber.h"
#include "http/TIdHTTP.h"
#include "stream/DashManifest.h"
#include "stream/HlsPlaylist.h"
#include "support/DemoSite.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <memory>
#include <variant>

namespace {

// The site's playlists and manifests, read as the resolution reads them.
class TPlanMaker {
public:
    explicit TPlanMaker(const DemoSite& site) : site_(site) {}

    std::string Fetch(const std::string& address, const std::string& range = "")
    {
        TIdHTTP http;
        http.Request().SetRange(range);
        return http.GetToString(address);
    }

    TStreamTrack HlsTrack(const std::string& path, const std::string& query)
    {
        const std::string address = site_.StreamAddress(path + query);
        return ReadHlsPlaylist(Fetch(address), address).Track;
    }

    // A media playlist, with its separate audio when given.
    TStreamPlan Hls(const std::string& video, const std::string& audio = "", const std::string& query = "")
    {
        TStreamPlan plan;
        plan.ManifestAddress = site_.StreamAddress(video + query);
        plan.VideoId = video;
        plan.Video = HlsTrack(video, query);
        plan.Duration = plan.Video.Duration;
        if (!audio.empty()) {
            plan.AudioId = audio;
            plan.Audio = HlsTrack(audio, query);
        }
        return plan;
    }

    TStreamTrack DashPieces(const TDashManifest& manifest, const std::string& id)
    {
        auto track = DashTrack(manifest, id);
        if (auto* complete = std::get_if<TStreamTrack>(&track))
            return *complete;
        const auto& index = std::get<TDashIndexRequest>(track);
        const TByteRange range = *index.Index.Range;
        return TrackFromIndex(
            index,
            Fetch(index.Index.Address,
                  std::to_string(range.Offset) + "-" + std::to_string(range.Offset + range.Length - 1)));
    }

    TStreamPlan Dash(const std::string& path, const std::string& video, const std::string& audio)
    {
        const std::string address = site_.StreamAddress(path);
        const TDashManifest manifest = ReadDashManifest(Fetch(address), address);
        TStreamPlan plan;
        plan.ManifestAddress = address;
        plan.VideoId = video;
        plan.AudioId = audio;
        plan.Video = DashPieces(manifest, video);
        plan.Audio = DashPieces(manifest, audio);
        plan.Duration = plan.Video.Duration;
        return plan;
    }

private:
    const DemoSite& site_;
};

class StreamGrabberTest : public testing::Test {
protected:
    static void SetUpTestSuite() { site_ = new DemoSite; }
    static void TearDownTestSuite() { delete site_; }

    void SetUp() override { SaveWithQuickRetries(grabber, target); }

    void Aim(TStreamPlan plan)
    {
        grabber.SetUrl(plan.ManifestAddress);
        grabber.SetStream(std::make_shared<const TStreamPlan>(std::move(plan)));
    }

    // What the site wrote beside its streams: the md5 a rendition's decoded
    // video or sound has, by its playlist, or by its manifest and
    // Representation.
    static std::string Md5Of(const std::string& path, const char* track, const std::string& representation = "")
    {
        static const nlohmann::json facts = nlohmann::json::parse(FileBytes(site_->StreamFactsFile()));
        const nlohmann::json& stream = facts["streams"][path];
        if (representation.empty())
            return stream[track]["md5"];
        for (const nlohmann::json& entry : stream["representations"])
            if (entry["id"] == representation)
                return entry[track]["md5"];
        return "";
    }

    static DemoSite* site_;
    ScratchFolder folder{"stream-grab"};
    std::string target = folder.File("video.mp4");
    TJvStreamUrlGrabber grabber;
    GrabberRecorder recorder{grabber};
    TPlanMaker plans{*site_};
};

DemoSite* StreamGrabberTest::site_ = nullptr;

} // namespace

// Each kind of stream, and where facts.json says what its video and sound
// decode to (a playlist, or a manifest and its Representation).
struct StreamKind {
    const char* why;
    std::function<TStreamPlan(TPlanMaker&)> plan;
    const char* videoFacts;
    const char* videoRepresentation;
    const char* audioFacts;
    const char* audioRepresentation;
};

void PrintTo(const StreamKind& kind, std::ostream* out)
{
    *out << kind.why;
}

const StreamKind kKinds[] = {
    {"TS segments with a separate audio rendition",
     [](TPlanMaker& plans) { return plans.Hls("hls/v360/index.m3u8", "hls/audio-en/index.m3u8"); },
     "hls/v360/index.m3u8", "", "hls/audio-en/index.m3u8", ""},
    {"fMP4 segments after their init section",
     [](TPlanMaker& plans) { return plans.Hls("hls-fmp4/v180/index.m3u8", "hls-fmp4/audio-es/index.m3u8"); },
     "hls-fmp4/v180/index.m3u8", "", "hls-fmp4/audio-es/index.m3u8", ""},
    {"AES-128 with given and derived IVs and a clear segment",
     [](TPlanMaker& plans) { return plans.Hls("hls-aes/v360/index.m3u8"); }, "hls-aes/v360/index.m3u8", "",
     "hls-aes/v360/index.m3u8", ""},
    {"byte ranges of one file", [](TPlanMaker& plans) { return plans.Hls("hls-single/index.m3u8"); },
     "hls-single/index.m3u8", "", "hls-single/index.m3u8", ""},
    {"a discontinuity", [](TPlanMaker& plans) { return plans.Hls("hls-discontinuity/index.m3u8"); },
     "hls-discontinuity/index.m3u8", "", "hls-discontinuity/index.m3u8", ""},
    {"DASH with a timeline", [](TPlanMaker& plans) { return plans.Dash("dash/manifest.mpd", "2", "4"); },
     "dash/manifest.mpd", "2", "dash/manifest.mpd", "4"},
    {"DASH segments read from the index",
     [](TPlanMaker& plans) { return plans.Dash("dash-base/manifest.mpd", "v180", "a-en"); }, "dash-base/manifest.mpd",
     "v180", "dash-base/manifest.mpd", "a-en"},
};

class StreamKindTest : public StreamGrabberTest, public testing::WithParamInterface<StreamKind> {};

TEST_P(StreamKindTest, IsSavedAsOneFileOfExactlyTheRenditionsFramesAndSound)
{
    const StreamKind& kind = GetParam();
    Aim(kind.plan(plans));
    recorder.Run();
    ASSERT_EQ(recorder.events.size(), 2u) << (recorder.events.empty() ? "" : recorder.events[0]);
    EXPECT_EQ(recorder.events[0].rfind("done ", 0), 0u) << recorder.events[0];
    EXPECT_EQ(DemoSite::DecodedVideoMd5(target), Md5Of(kind.videoFacts, "video", kind.videoRepresentation));
    EXPECT_EQ(DemoSite::DecodedAudioMd5(target), Md5Of(kind.audioFacts, "audio", kind.audioRepresentation));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"video.mp4"}) << "no part, record or made file is left";
}

INSTANTIATE_TEST_SUITE_P(Table, StreamKindTest, testing::ValuesIn(kKinds));

// A server that answers 503 to every other piece and cuts one midway: each
// piece is tried again on its own, and the file is still exact.
TEST_F(StreamGrabberTest, PiecesThatFalterAreTriedAgainOnTheirOwn)
{
    int retries = 0;
    grabber.OnRetry = [&](TObject*, int, int, int, const std::string&) { ++retries; };
    Aim(plans.Hls("hls/v180/index.m3u8", "hls/audio-en/index.m3u8", "?fail=2&cut=seg-1.ts&run=falter"));
    recorder.Run();
    EXPECT_EQ(recorder.events.front().rfind("done ", 0), 0u) << recorder.events.front();
    EXPECT_GE(retries, 3);
    EXPECT_EQ(DemoSite::DecodedVideoMd5(target), Md5Of("hls/v180/index.m3u8", "video"));
}

// A piece that cannot be had ends the download with a message that names
// it; what arrived is kept for a later run, and no file appears.
TEST_F(StreamGrabberTest, APieceThatCannotBeHadEndsTheDownloadNamingIt)
{
    TStreamPlan plan = plans.Hls("hls/v180/index.m3u8");
    plan.Video.Segments[1].Piece.Address = site_->StreamAddress("hls/v180/missing.ts");
    Aim(std::move(plan));
    // One piece at a time: the first is stored before the second fails (with
    // several at once, the failure may come before anything is stored, and
    // an empty part is not kept).
    grabber.SetConnections(1);
    recorder.Run();
    EXPECT_EQ(recorder.events,
              (std::vector<std::string>{"error Segment 2 of 3 of the video could not be fetched: HTTP 404 Not Found",
                                        "closed"}));
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_TRUE(grabber.PartKept());
}

// A run stopped midway keeps the pieces it stored; the next run asks only
// for the others, and a plan with other pieces starts over.
TEST_F(StreamGrabberTest, ARunGoesOnFromThePiecesAnEarlierOneStored)
{
    // One piece at a time, each answered after a while: the stop comes
    // between pieces.
    grabber.SetConnections(1);
    Aim(plans.Hls("hls-aes/v360/index.m3u8", "", "?delay=150&run=continue"));
    grabber.Start();
    ASSERT_TRUE(recorder.ServeUntil([&] { return grabber.BytesRead() > 0 && grabber.Size() > grabber.BytesRead(); }));
    ASSERT_TRUE(recorder.ServeUntil([&] { return !recorder.positions.empty() && recorder.positions.back() > 100000; }));
    grabber.Stop();
    ASSERT_TRUE(grabber.PartKept());
    const std::int64_t kept = std::filesystem::file_size(TGrabberPartFile::PartName(target));

    std::int64_t resumedAt = -1;
    grabber.OnResume = [&](TObject*, std::int64_t position, std::int64_t) { resumedAt = position; };
    recorder.events.clear();
    recorder.Run();
    EXPECT_EQ(resumedAt, kept);
    EXPECT_EQ(recorder.events.front().rfind("done ", 0), 0u) << recorder.events.front();
    EXPECT_EQ(DemoSite::DecodedVideoMd5(target), Md5Of("hls-aes/v360/index.m3u8", "video"));
}

// A part begun for other pieces (the manifest changed, another rendition was
// chosen) is not joined to: the run starts over.
TEST_F(StreamGrabberTest, APartOfAnotherPlanStartsTheRunOver)
{
    grabber.SetConnections(1);
    Aim(plans.Hls("hls/v360/index.m3u8", "", "?delay=150&run=other"));
    grabber.Start();
    ASSERT_TRUE(recorder.ServeUntil([&] { return !recorder.positions.empty() && recorder.positions.back() > 50000; }));
    grabber.Stop();
    ASSERT_TRUE(grabber.PartKept());

    bool resumed = false;
    grabber.OnResume = [&](TObject*, std::int64_t, std::int64_t) { resumed = true; };
    Aim(plans.Hls("hls/v180/index.m3u8"));
    recorder.events.clear();
    recorder.Run();
    EXPECT_FALSE(resumed);
    EXPECT_EQ(DemoSite::DecodedVideoMd5(target), Md5Of("hls/v180/index.m3u8", "video"));
}

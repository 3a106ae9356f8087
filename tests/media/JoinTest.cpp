// Joining renditions made by ffmpeg, checked by ffprobe and by decoding: the
// joined file holds exactly the frames of the rendition, in the container its
// codecs call for.
#include "MediaFixture.h"

#include <map>

namespace {

const std::string kMp4Format = "mov,mp4,m4a,3gp,3g2,mj2";
const std::string kMatroskaFormat = "matroska,webm";

struct TRenditionCase {
    const char* name;
    std::vector<std::string> codecs;
    TSegmentKind kind;
    bool separateAudio;
    TContainer container;
    const char* videoCodec;
    const char* audioCodec;
};

bool IsWebm(const std::string& file)
{
    return FileBytes(file).substr(0, 64).find("webm") != std::string::npos;
}

class RenditionJoinTest : public MediaFixture, public ::testing::WithParamInterface<TRenditionCase> {};

TEST_P(RenditionJoinTest, HoldsExactlyTheRenditionsFrames)
{
    const TRenditionCase& row = GetParam();
    std::vector<TMediaInput> inputs;
    std::string videoSource;
    std::string audioSource;
    if (row.separateAudio) {
        std::vector<std::string> video = TestSources(3);
        video.insert(video.end(), {"-map", "0:v"});
        video.insert(video.end(), row.codecs.begin(), row.codecs.end());
        std::vector<std::string> audio = TestSources(3);
        audio.insert(audio.end(), {"-map", "1:a"});
        audio.insert(audio.end(), row.codecs.begin(), row.codecs.end());
        videoSource = MakeRendition("video", video, row.kind);
        audioSource = MakeRendition("audio", audio, row.kind);
        inputs = {InputOf(videoSource, ttVideo), InputOf(audioSource, ttAudio)};
    } else {
        videoSource = audioSource = MakeClip("clip", 3, row.codecs, row.kind);
        inputs = {InputOf(videoSource)};
    }
    TJoinRequest request = RequestFor(inputs);
    std::int64_t consumed = 0;
    std::int64_t total = -1;
    request.Progress = [&](std::int64_t now, std::int64_t all) {
        EXPECT_GE(now, consumed);
        consumed = now;
        total = all;
    };

    const TJoinOutcome outcome = JoinMediaInProcess(request);

    EXPECT_EQ(outcome.Container, row.container);
    EXPECT_EQ(consumed, total);
    std::map<std::string, std::string> joined = Probe(request.Output);
    std::map<std::string, std::string> source = Probe(videoSource);
    EXPECT_EQ(joined["format_name"], row.container == ctMp4 ? kMp4Format : kMatroskaFormat);
    EXPECT_EQ(IsWebm(request.Output), row.container == ctWebm);
    EXPECT_EQ(joined["codec_name.0"], row.videoCodec);
    EXPECT_EQ(joined["codec_name.1"], row.audioCodec);
    EXPECT_NEAR(std::stod(joined["duration"]), std::stod(source["duration"]), 0.1);
    EXPECT_NEAR(outcome.Duration, std::stod(source["duration"]), 0.1);
    const std::vector<std::string> frames = FrameHashes(videoSource);
    EXPECT_EQ(frames.size(), 75u);
    EXPECT_EQ(FrameHashes(request.Output), frames);
    EXPECT_EQ(outcome.VideoFrames, 75);
    const std::string audioPackets =
        row.separateAudio ? Probe(audioSource)["nb_read_packets.0"] : source["nb_read_packets.1"];
    EXPECT_EQ(joined["nb_read_packets.1"], audioPackets);
    EXPECT_EQ(std::to_string(outcome.AudioFrames), audioPackets);
    if (row.container == ctMp4) {
        const std::string bytes = FileBytes(request.Output);
        EXPECT_LT(bytes.find("moov"), bytes.find("mdat")) << "the index is not at the front";
    }
}

INSTANTIATE_TEST_SUITE_P(Renditions, RenditionJoinTest,
                         ::testing::Values(
                             // The common HLS stream: H.264 and AAC in MPEG-TS, whose AAC has
                             // ADTS headers and whose H.264 has no extradata until probed.
                             TRenditionCase{"TsSegments", kH264Aac, skTs, false, ctMp4, "h264", "aac"},
                             // Fragmented MP4 after its init section.
                             TRenditionCase{"Fmp4Segments", kH264Aac, skFmp4, false, ctMp4, "h264", "aac"},
                             // A video rendition and a separate audio rendition.
                             TRenditionCase{"SeparateTsAudio", kH264Aac, skTs, true, ctMp4, "h264", "aac"},
                             TRenditionCase{"SeparateFmp4Audio", kH264Aac, skFmp4, true, ctMp4, "h264", "aac"},
                             // VP9 and Opus go into WebM.
                             TRenditionCase{"Vp9OpusIntoWebm", kVp9Opus, skFmp4, false, ctWebm, "vp9", "opus"},
                             // MPEG-2 video, which MP4 players do not take, goes into Matroska.
                             TRenditionCase{"Mpeg2IntoMatroska", kMpeg2Mp2, skTs, false, ctMatroska, "mpeg2video",
                                            "mp2"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

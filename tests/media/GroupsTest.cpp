// Groups: a discontinuity restarts the timestamps, a new init section brings
// other parameter sets (or another kind of segment). Each group continues
// where the one before ended, and decodes as it did on its own.
#include "MediaFixture.h"

#include <map>

namespace {

struct TGroupsCase {
    const char* name;
    TSegmentKind first;
    TSegmentKind second;
    // Encoder settings of the second clip: other parameter sets.
    std::vector<std::string> secondSettings;
};

class GroupsJoinTest : public MediaFixture, public ::testing::WithParamInterface<TGroupsCase> {};

TEST_P(GroupsJoinTest, EachGroupContinuesWhereThePreviousEnded)
{
    const TGroupsCase& row = GetParam();
    const std::string first = MakeClip("first", 2, kH264Aac, row.first);
    std::vector<std::string> codecs = kH264Aac;
    codecs.insert(codecs.end(), row.secondSettings.begin(), row.secondSettings.end());
    const std::string second = MakeClip("second", 3, codecs, row.second, "testsrc");
    TMediaInput input;
    input.Groups = {GroupOfFiles(PlaylistFiles(first)), GroupOfFiles(PlaylistFiles(second))};
    const TJoinRequest request = RequestFor({input});

    const TJoinOutcome outcome = JoinMediaInProcess(request);

    std::vector<std::string> frames = FrameHashes(first);
    const std::vector<std::string> secondFrames = FrameHashes(second);
    frames.insert(frames.end(), secondFrames.begin(), secondFrames.end());
    EXPECT_EQ(frames.size(), 125u);
    EXPECT_EQ(FrameHashes(request.Output), frames);
    std::map<std::string, std::string> joined = Probe(request.Output);
    EXPECT_NEAR(std::stod(joined["duration"]), 5.0, 0.15);
    EXPECT_NEAR(outcome.Duration, 5.0, 0.15);
    EXPECT_EQ(std::stoll(joined["nb_read_packets.1"]),
              std::stoll(Probe(first)["nb_read_packets.1"]) + std::stoll(Probe(second)["nb_read_packets.1"]));
}

INSTANTIATE_TEST_SUITE_P(
    Groups, GroupsJoinTest,
    ::testing::Values(
        // A discontinuity: both clips' MPEG-TS timestamps start at 1.4 s.
        TGroupsCase{"TsDiscontinuity", skTs, skTs, {}},
        // Another init section with other parameter sets, which the first
        // group's extradata would not decode.
        TGroupsCase{"ChangedInitSection", skFmp4, skFmp4, {"-profile:v", "baseline", "-crf", "30"}},
        // MPEG-TS pieces, then fragmented MP4 ones: ADTS and Annex B meet
        // raw AAC and length-prefixed H.264.
        TGroupsCase{"TsThenFmp4", skTs, skFmp4, {"-profile:v", "main"}}, TGroupsCase{"Fmp4ThenTs", skFmp4, skTs, {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

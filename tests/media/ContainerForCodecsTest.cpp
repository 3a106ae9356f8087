// The container a playlist's codec list calls for.
#include "media/MediaJoin.h"

#include <gtest/gtest.h>

namespace {

struct TCodecsCase {
    const char* codecs;
    TContainer container;
};

class ContainerForCodecsTest : public ::testing::TestWithParam<TCodecsCase> {};

TEST_P(ContainerForCodecsTest, ChoosesTheContainer)
{
    EXPECT_EQ(ContainerForCodecs(GetParam().codecs), GetParam().container) << GetParam().codecs;
}

INSTANTIATE_TEST_SUITE_P(
    Codecs, ContainerForCodecsTest,
    ::testing::Values(
        // What MP4 holds.
        TCodecsCase{"avc1.64001f,mp4a.40.2", ctMp4}, TCodecsCase{"avc3.4d401e", ctMp4},
        TCodecsCase{"hvc1.1.6.L93.B0,ec-3", ctMp4}, TCodecsCase{"hev1.2.4.L120.B0, ac-3", ctMp4},
        TCodecsCase{"mp4a.40.5", ctMp4}, TCodecsCase{"mp4a.6B", ctMp4},
        // AV1 or VP9 with AAC is no WebM.
        TCodecsCase{"av01.0.05M.08,mp4a.40.2", ctMp4}, TCodecsCase{"vp09.00.10.08,mp4a.40.2", ctMp4},
        // VP8, VP9 and AV1 with Opus, Vorbis or no sound.
        TCodecsCase{"vp09.00.10.08,opus", ctWebm}, TCodecsCase{"vp8,vorbis", ctWebm},
        TCodecsCase{"av01.0.05M.08", ctWebm}, TCodecsCase{"VP09.00.10.08,Opus", ctWebm},
        // What MP4 players do not take, or the name is not known.
        TCodecsCase{"avc1.64001f,flac", ctMatroska}, TCodecsCase{"vp09.00.10.08,mp4a.a6,vorbis", ctMatroska},
        TCodecsCase{"avc1.64001f,vorbis", ctMatroska}, TCodecsCase{"mp4v.61", ctMatroska},
        TCodecsCase{"avc1.64001f,mhm1.0x0D", ctMatroska}, TCodecsCase{"mp4a.ZZ", ctMatroska},
        // Subtitles do not count; nothing at all is MP4.
        TCodecsCase{"avc1.64001f,mp4a.40.2,wvtt", ctMp4}, TCodecsCase{"vp09.00.10.08,stpp.ttml.im1t", ctWebm},
        TCodecsCase{"", ctMp4}, TCodecsCase{" , ", ctMp4}));

TEST(ContainerExtensionTest, NamesEachContainersExtension)
{
    EXPECT_STREQ(ContainerExtension(ctMp4), ".mp4");
    EXPECT_STREQ(ContainerExtension(ctMatroska), ".mkv");
    EXPECT_STREQ(ContainerExtension(ctWebm), ".webm");
}

} // namespace

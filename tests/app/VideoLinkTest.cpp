#include "app/VideoLink.h"
#include "http/EIdHTTPProtocolException.h"
#include "support/DemoSite.h"

#include <gtest/gtest.h>

TEST(SafeFileName, ReplacesTheSixteenCharactersAndKeepsTheLength)
{
    struct Row {
        const char* decoded;
        const char* safe;
    } rows[] = {
        {"Rock+&+Roll:+Live!", "Rock _ Roll_ Live_"}, // blanks come as "+" from the record
        {"A+B", "A B"},
        {"No.5", "No_5"},
        {":;/\\$%*&'\",.+?!|", "____________ ___"},  // every member of the set; "+" turned blank first
        {"<tag> \t", "<tag> \t"},                     // angle brackets and controls stay
        {"", ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(SafeFileName(row.decoded), row.safe) << row.decoded;
        EXPECT_EQ(SafeFileName(row.decoded).size(), std::string(row.decoded).size());
    }
}

TEST(VideoLink, DownloadAddressPutsThePartsInOrderAndDecodesTheToken)
{
    TVideoLink link{"abc&feature=xyz", "tok%3D", "Title", "&fmt=18", ".mp4"};
    EXPECT_EQ(link.DownloadAddress("www.youtube.com"),
              "http://www.youtube.com/get_video?video_id=abc&feature=xyz&fmt=18&t=tok=");
    EXPECT_EQ(link.ProposedFileName(), "Title.mp4");
}

// Against the demo site: two page requests with redirects and cookies.
class Resolution : public ::testing::Test {
protected:
    static void SetUpTestSuite() { site = new DemoSite; }
    static void TearDownTestSuite() { delete site; }
    static DemoSite* site;

    std::optional<TVideoLink> Resolve(const std::string& id, TVideoQuality quality)
    {
        return ResolveVideoLink(site->WatchAddress(id), quality, site->Host());
    }
};
DemoSite* Resolution::site = nullptr;

TEST_F(Resolution, QualityTableChoosesFormatAndExtension)
{
    struct Row {
        const char* id;
        TVideoQuality quality;
        const char* format;
        const char* extension;
    } rows[] = {
        {"seastack01", vqHighQuality, "&fmt=18", ".mp4"},
        {"seastack01", vqHighDefinition, "&fmt=22", ".mp4"},  // the list has the marker
        {"harbour202", vqHighDefinition, "&fmt=18", ".mp4"},  // it has not
        {"seastack01", vqNormal, "", ".flv"},
        {"seastack01", vqMobile, "&fmt=17", ".3GP"},
        {"plainflv44", vqHighDefinition, "", ""},             // no format list at all
        {"plainflv44", vqMobile, "", ""},
    };
    for (const Row& row : rows) {
        auto link = Resolve(row.id, row.quality);
        ASSERT_TRUE(link) << row.id;
        EXPECT_EQ(link->FormatPart, row.format) << row.id << " " << row.quality;
        EXPECT_EQ(link->Extension, row.extension) << row.id << " " << row.quality;
        EXPECT_EQ(link->Identifier, row.id);
    }
}

TEST_F(Resolution, TitleIsDecodedAndMadeSafe)
{
    auto link = Resolve("rockroll33", vqHighQuality);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->Title, "Rock _ Roll_ Live_");
    EXPECT_EQ(link->ProposedFileName(), "Rock _ Roll_ Live_.mp4");
}

TEST_F(Resolution, RecordsWithoutAUsableTokenGiveUpSilently)
{
    EXPECT_FALSE(Resolve("notoken099", vqHighQuality));
    EXPECT_FALSE(Resolve("lasttok100", vqHighQuality)) << "no '&' after the token's value";
}

TEST_F(Resolution, UnknownVideoFailsWithTheStatusOfTheFirstRequest)
{
    try {
        Resolve("missing000", vqHighQuality);
        FAIL() << "no exception";
    } catch (const EIdHTTPProtocolException& error) {
        EXPECT_EQ(error.StatusNumber(), 404);
    }
}

TEST_F(Resolution, AWatchPageReachedOverHttpsGivesAnHttpsStream)
{
    auto link = ResolveVideoLink(site->SecureWatchAddress("seastack01"), vqHighQuality, site->Host());
    ASSERT_TRUE(link);
    EXPECT_EQ(link->DownloadAddress(site->Host()).rfind("https://" + site->Host() + "/get_video?", 0), 0u);
    EXPECT_EQ(Resolve("seastack01", vqHighQuality)->DownloadAddress(site->Host()).rfind("http://", 0), 0u);
}

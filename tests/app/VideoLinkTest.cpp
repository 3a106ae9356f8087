#include "app/VideoLink.h"
#include "app/VideoDownload.h"
#include "http/EIdHTTPProtocolException.h"
#include "support/DemoSiteSuite.h"
#include "support/LocalPort.h"
#include "support/NginxServer.h"
#include "support/ScratchFolder.h"
#include "support/ScriptedPeer.h"
#include "support/TestCertificates.h"

#include <gtest/gtest.h>

#include <functional>

TEST(SafeFileName, OneRuleForEveryName)
{
    // "a" and 102 Japanese characters of three bytes each: no cut at the
    // limit can help landing inside a character.
    std::string longJapanese = "a";
    for (int i = 0; i < 51; ++i)
        longJapanese += "\xe5\x8b\x95\xe7\x94\xbb";
    struct Row {
        std::string decoded;
        std::string safe;
    } rows[] = {
        {"Rock+&+Roll:+Live!", "Rock _ Roll_ Live_"}, // blanks come as "+" from the record
        {"A+B", "A B"},
        {"No.5", "No_5"},
        {":;/\\$%*&'\",.+?!|x", "____________ ___x"}, // every member of the set; "+" turned blank first
        {"<tag>", "<tag>"},                           // angle brackets stay
        {"a\tb\x1b[31mc\x7f", "a_b_[31mc_"},          // controls, an escape sequence, DEL
        {std::string("cut\0here", 8), "cut_here"},    // a NUL never ends the name
        {"", "video"},
        {"...", "video"},                                                         // nothing left of the title
        {longJapanese, longJapanese.substr(0, 1 + (kMaxTitleBytes - 1) / 3 * 3)}, // cut between characters
        {std::string(10000, 'a'), std::string(kMaxTitleBytes, 'a')},
        // Bytes that are not UTF-8 are read as a page's title is.
        {"Caf\xe9 \xe2\x80 noir\xff", "Caf\xef\xbf\xbd \xef\xbf\xbd noir\xef\xbf\xbd"},
        // Blanks of any kind go from both ends; inside, they stay.
        {"\xc2\xa0\xc2\xa0", "video"},
        {"\xe3\x80\x80Sea\xe2\x80\x80stacks\xe2\x80\x8a\t\n ", "Sea\xe2\x80\x80stacks"},
        {"+Sea+", "Sea"},
        {std::string(kMaxTitleBytes - 1, 'a') + " b", std::string(kMaxTitleBytes - 1, 'a')}, // a cut ends on a blank
        // Controls of the writing direction are dropped: the name reads as it is.
        {"clip\xe2\x80\xae"
         "4pm.exe",
         "clip4pm_exe"},
        {"\xe2\x80\x8f\xe2\x81\xa6x\xe2\x81\xa9\xd8\x9c\xe2\x80\x8e", "x"},
        // Nor are the controls of the second range kept (U+009B opens a
        // terminal's control sequence).
        {"a\xc2\x9b"
         "2Jb\xc2\x85",
         "a_2Jb"},
        // A name is never taken for an option.
        {"-rf", "_rf"},
        {" --help", "_-help"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(SafeFileName(row.decoded), row.safe) << row.decoded.substr(0, 20);
}

TEST(VideoLink, DownloadAddressPutsThePartsInOrderAndDecodesTheToken)
{
    TVideoLink link;
    link.Identifier = "abc&feature=xyz";
    link.Token = "tok%3D";
    link.Title = "Title";
    link.FormatPart = "&fmt=18";
    link.Extension = ".mp4";
    EXPECT_EQ(link.DownloadAddress("www.youtube.com"),
              "http://www.youtube.com/get_video?video_id=abc&feature=xyz&fmt=18&t=tok=");
    EXPECT_EQ(link.ProposedFileName(), "Title.mp4");
}

// Against the demo site: two page requests with redirects and cookies.
class Resolution : public DemoSiteSuite {
protected:
    std::optional<TVideoLink> Resolve(const std::string& id, TVideoQuality quality)
    {
        return ResolveVideoLink(site->WatchAddress(id), quality, site->Host());
    }
};

TEST_F(Resolution, QualityTableChoosesFormatAndExtension)
{
    struct Row {
        const char* id;
        TVideoQuality quality;
        const char* format;
        const char* extension;
    } rows[] = {
        {"seastack01", vqHighQuality, "&fmt=18", ".mp4"},
        {"seastack01", vqHighDefinition, "&fmt=22", ".mp4"}, // the list has the marker
        {"harbour202", vqHighDefinition, "&fmt=18", ".mp4"}, // it has not
        {"seastack01", vqNormal, "", ".flv"},
        {"seastack01", vqMobile, "&fmt=17", ".3GP"},
        {"plainflv44", vqHighDefinition, "", ""}, // no format list at all
        {"plainflv44", vqMobile, "", ""},
        {"plainflv44", TVideoQuality(vqHeight, 144), "", ""},
        // The others go by height: 720 (where listed), 360, 240 (FLV), 144 (3GP).
        {"seastack01", vqBest, "&fmt=22", ".mp4"},
        {"harbour202", vqBest, "&fmt=18", ".mp4"},
        {"seastack01", vqWorst, "&fmt=17", ".3GP"},
        {"seastack01", TVideoQuality(vqHeight, 1080), "&fmt=22", ".mp4"},
        {"harbour202", TVideoQuality(vqHeight, 720), "&fmt=18", ".mp4"},
        {"seastack01", TVideoQuality(vqHeight, 540), "&fmt=18", ".mp4"}, // as near 360 as 720: the smaller
        {"seastack01", TVideoQuality(vqHeight, 300), "", ".flv"},
        {"seastack01", TVideoQuality(vqHeight, 192), "&fmt=17", ".3GP"}, // as near 144 as 240
    };
    for (const Row& row : rows) {
        auto link = Resolve(row.id, row.quality);
        ASSERT_TRUE(link) << row.id;
        EXPECT_EQ(link->FormatPart, row.format) << row.id << " " << QualityName(row.quality);
        EXPECT_EQ(link->Extension, row.extension) << row.id << " " << QualityName(row.quality);
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

TEST_F(Resolution, RecordsWithoutAUsableTokenHoldNoVideo)
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

// The site on nginx, whose TLS port answers only over TLS, and whose log
// tells the scheme of each request.
TEST(SecureResolution, EveryRequestForAVideoFoundOverHttpsStaysOnHttps)
{
    const TestCertificates& certificates = TestCertificates::Instance();
    certificates.Trust();
    ScratchFolder root{"secure-site"};
    NginxServer nginx(root.path.string(), R"(
location = /watch { return 200 "<html>a video</html>"; }
location = /get_video_info { return 200 "status=ok&token=tok&title=Clip&fmt_map=18%2F512000%2F9%2F0%2F115&x=1"; }
)",
                      {certificates.Good()});
    const std::string host = "127.0.0.1:" + std::to_string(nginx.TlsPort());
    std::optional<TVideoLink> link = ResolveVideoLink("https://" + host + "/watch?v=clip", vqHighQuality, host);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->DownloadAddress(host).rfind("https://" + host + "/get_video?", 0), 0u);
    for (const char* path : {"/watch?v=clip", "/get_video_info?video_id=clip"}) {
        std::vector<std::string> lines = nginx.LogLinesFor(path);
        ASSERT_EQ(lines.size(), 1u) << path;
        EXPECT_NE(lines[0].find(" https \""), std::string::npos) << lines[0];
    }
}

// Each page request is bounded, whatever the server does.
TEST(ResolutionBounds, EveryPageRequestEndsWithAFailureThatSaysWhy)
{
    LocalPort busy(true, 0);
    busy.FillQueue(8);
    TPageBounds bounds;
    bounds.ReadTimeout = 300;
    bounds.ConnectTimeout = 300;
    bounds.RequestTimeout = 1000;
    bounds.MaxBodySize = 64 * 1024;
    const std::string head = "HTTP/1.1 200 OK\r\n\r\n";
    const struct {
        const char* why;
        std::function<void(ScriptedPeer&)> script;
        const char* failure;
    } rows[] = {
        {"no status line comes", [](ScriptedPeer& peer) { peer.ReadUntil("\r\n\r\n").ReadUntilClosed(); },
         "Read Timeout"},
        {"a page that drips",
         [&](ScriptedPeer& peer) {
             peer.ReadUntil("\r\n\r\n").Send(head);
             for (int i = 0; i < 30; ++i)
                 peer.Send("x").Pause(std::chrono::milliseconds(100));
         },
         "Request timed out."},
        {"a huge page", [&](ScriptedPeer& peer) { peer.ReadUntil("\r\n\r\n").Send(head + std::string(1 << 20, 'x')); },
         "Response too large."},
        {"a connect that never completes", nullptr, "Connect timed out."},
    };
    for (const auto& row : rows) {
        ScriptedPeer peer;
        std::string address = "http://127.0.0.1:" + std::to_string(busy.Port()) + "/watch?v=x";
        if (row.script) {
            row.script(peer);
            peer.Start();
            address = "http://127.0.0.1:" + std::to_string(peer.Port()) + "/watch?v=x";
        }
        TResolution resolution = ResolveVideo(ReadVideoAddress(address), vqHighQuality, "en", "127.0.0.1", bounds);
        ASSERT_TRUE(resolution.Failure) << row.why;
        try {
            std::rethrow_exception(resolution.Failure);
        } catch (const std::exception& e) {
            EXPECT_STREQ(e.what(), row.failure) << row.why;
        }
    }
}

// The demo site's slowest watch page answers after eight seconds: a page
// request waits for it within the request's thirty.
TEST_F(Resolution, AWatchPageSlowerThanSixSecondsIsWaitedFor)
{
    std::optional<TVideoLink> link =
        ResolveVideoLink(site->WatchAddress("slowpage12"), vqHighQuality, site->Host(), TPageBounds());
    ASSERT_TRUE(link);
    EXPECT_EQ(link->Title, "A slow watch page");
}

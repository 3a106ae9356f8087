// The download component over TLS, against nginx with the tests'
// certificates: verified like the page client, and a link that should lead
// to a file but leads to a web page.
#include "GrabberRecorder.h"
#include "TestBytes.h"

#include "grabber/TJvHttpsUrlGrabber.h"
#include "http/EIdException.h"
#include "http/TIdHTTP.h"
#include "support/NginxServer.h"
#include "support/PythonPeer.h"
#include "support/TestCertificates.h"

#include <gtest/gtest.h>

namespace {

const char* kSiteConfig = R"(
    location = /old { return 301 https://127.0.0.1:@TLS_PORT@/video.bin; }
    location = /landing.mp4 { default_type "text/html; charset=utf-8"; return 200 "<html>Watch it here</html>"; }
)";

enum TListener { lsGood, lsOtherName, lsExpired };

std::string Video()
{
    std::string bytes(300000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 13 + i / 509);
    return bytes;
}

class HttpsGrabberTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const TestCertificates& certificates = TestCertificates::Instance();
        certificates.Trust();
        root_ = new ScratchFolder("tls-files");
        WriteFile(root_->File("video.bin"), Video());
        nginx_ = new NginxServer(root_->path.string(), kSiteConfig,
                                 {certificates.Good(), certificates.OtherName(), certificates.Expired()});
    }
    static void TearDownTestSuite()
    {
        delete nginx_;
        delete root_;
    }

    // Runs a grabber of the given kind on address into the scratch folder.
    template <typename Grabber>
    std::vector<std::string> Grab(const std::string& address, bool refuseWebPages = false)
    {
        Grabber grabber;
        grabber.SetProxyMode(pmNoProxy);
        grabber.SetFileName(target);
        grabber.SetUrl(address);
        grabber.SetRefuseWebPages(refuseWebPages);
        GrabberRecorder recorder(grabber);
        recorder.Run();
        return recorder.events;
    }

    static ScratchFolder* root_;
    static NginxServer* nginx_;
    ScratchFolder folder{"tls-grab"};
    std::string target = folder.File("video.mp4");
};

ScratchFolder* HttpsGrabberTest::root_ = nullptr;
NginxServer* HttpsGrabberTest::nginx_ = nullptr;

} // namespace

TEST_F(HttpsGrabberTest, SavesTheExactBytesOverTlsAlsoAfterARedirectFromHttp)
{
    EXPECT_EQ(Grab<TJvHttpsUrlGrabber>(nginx_->SecureBaseUrl() + "/video.bin"),
              (std::vector<std::string>{"done 300000", "closed"}));
    EXPECT_TRUE(FileBytes(target) == Video());
    std::filesystem::remove(target);

    EXPECT_EQ(Grab<TJvHttpUrlGrabber>(nginx_->BaseUrl() + "/old"), (std::vector<std::string>{"done 300000", "closed"}));
    EXPECT_TRUE(FileBytes(target) == Video());
}

TEST_F(HttpsGrabberTest, ARefusedCertificateIsReportedAndNothingIsSaved)
{
    EXPECT_EQ(Grab<TJvHttpsUrlGrabber>(nginx_->SecureBaseUrl(lsExpired) + "/video.bin"),
              (std::vector<std::string>{"error The certificate of 127.0.0.1 has expired (certificate has expired).",
                                        "closed"}));
    EXPECT_EQ(
        Grab<TJvHttpsUrlGrabber>(nginx_->SecureBaseUrl(lsOtherName) + "/video.bin"),
        (std::vector<std::string>{
            "error The certificate of 127.0.0.1 was made out for another name (IP address mismatch).", "closed"}));
    EXPECT_TRUE(folder.Names().empty());
}

TEST_F(HttpsGrabberTest, AWebPageIsRefusedOnlyWhereAFileIsWanted)
{
    const std::string landing = nginx_->SecureBaseUrl() + "/landing.mp4";
    EXPECT_EQ(Grab<TJvHttpsUrlGrabber>(landing, true),
              (std::vector<std::string>{"error The address leads to a web page, not to a file.", "closed"}));
    EXPECT_TRUE(folder.Names().empty());
    EXPECT_EQ(Grab<TJvHttpsUrlGrabber>(landing, false), (std::vector<std::string>{"done 26", "closed"}));
}

// Without a length, only TLS's close notification tells the end of a body
// from a connection cut on its way.
TEST_F(HttpsGrabberTest, ABodyWithoutALengthEndsOnlyWithTheServersCloseNotification)
{
    const TestCertificates& certificates = TestCertificates::Instance();
    const struct {
        const char* end;
        std::vector<std::string> events;
    } rows[] = {
        {"notify", {"done 40000", "closed"}},
        {"cut", {"error The secure connection to 127.0.0.1 was cut off before the data was complete.", "closed"}},
    };
    for (const auto& row : rows) {
        std::filesystem::remove(target);
        ScratchFolder peerFolder("tls-peer");
        PythonPeer peer(
            "tests/support/tls_peer.py",
            {"--certificate", certificates.Good().certificate, "--key", certificates.Good().key, "--end", row.end},
            peerFolder.path);
        EXPECT_EQ(Grab<TJvHttpsUrlGrabber>("https://127.0.0.1:" + std::to_string(peer.Port()) + "/video.mp4"),
                  row.events)
            << row.end;
        EXPECT_EQ(std::filesystem::exists(target), row.events.front() == "done 40000") << row.end;
    }
}

// A server that speaks only a TLS version the program refuses: both HTTP
// stacks say so in the same words.
TEST_F(HttpsGrabberTest, AHandshakeThatFailsIsWordedAsThePageClientWordsIt)
{
    const TestCertificates& certificates = TestCertificates::Instance();
    ScratchFolder peerFolder("tls-peer");
    PythonPeer peer("tests/support/tls_peer.py",
                    {"--certificate", certificates.Good().certificate, "--key", certificates.Good().key, "--legacy",
                     "--end", "notify"},
                    peerFolder.path);
    const std::string address = "https://127.0.0.1:" + std::to_string(peer.Port()) + "/video.mp4";
    std::string pageClientWords;
    try {
        TIdHTTP http;
        http.GetToString(address);
    } catch (const EIdException& failure) {
        pageClientWords = failure.what();
    }
    ASSERT_EQ(pageClientWords.rfind("The secure connection to 127.0.0.1 could not be set up (", 0), 0u)
        << pageClientWords;
    EXPECT_EQ(Grab<TJvHttpsUrlGrabber>(address), (std::vector<std::string>{"error " + pageClientWords, "closed"}));
}

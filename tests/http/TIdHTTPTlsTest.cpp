// The client over TLS: against nginx with certificates made for the run,
// and against a Python peer for the ways nginx does not misbehave.
#include "http/EIdTlsFailure.h"
#include "http/TIdHTTP.h"

#include "LargeBody.h"
#include "support/NginxServer.h"
#include "support/PythonPeer.h"
#include "support/ScratchFolder.h"
#include "support/ScriptedPeer.h"
#include "support/TestCertificates.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace {

// Plain to TLS to plain to TLS, with cookies set on the first secure stop;
// and a page that nginx rewrites on the way out, which makes it chunked.
const char* kSiteConfig = R"(
    location = /hop1 { return 302 https://127.0.0.1:@TLS_PORT@/hop2; }
    location = /hop2 {
        add_header Set-Cookie "open=1; path=/";
        add_header Set-Cookie "hidden=2; path=/; secure";
        return 302 http://127.0.0.1:@PLAIN_PORT@/hop3;
    }
    location = /hop3 { return 302 https://127.0.0.1:@TLS_PORT@/page.html?end; }
    location = /chunked.html { sub_filter "page" "PAGE"; sub_filter_once off; }
)";

// Listeners in the order nginx gets them.
enum TListener { lsGood, lsOtherName, lsExpired, lsStranger };

class TIdHTTPOverTls : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const TestCertificates& certificates = TestCertificates::Instance();
        certificates.Trust();
        root_ = new ScratchFolder("tls-site");
        std::ofstream(root_->File("page.html")) << "<html>the page</html>";
        std::ofstream(root_->File("chunked.html")) << "<html>a page, a page</html>";
        std::ofstream(root_->File("large.bin"), std::ios::binary) << LargeBody();
        nginx_ = new NginxServer(
            root_->path.string(), kSiteConfig,
            {certificates.Good(), certificates.OtherName(), certificates.Expired(), certificates.Stranger()});
    }

    static void TearDownTestSuite()
    {
        delete nginx_;
        delete root_;
    }

    void SetUp() override
    {
        http.SetHandleRedirects(true);
        http.SetReadTimeout(6000);
        http.SetAllowCookies(true);
    }

    static std::string Secure(const std::string& path, TListener listener = lsGood)
    {
        return nginx_->SecureBaseUrl(listener) + path;
    }

    static ScratchFolder* root_;
    static NginxServer* nginx_;
    TIdHTTP http;
};

ScratchFolder* TIdHTTPOverTls::root_ = nullptr;
NginxServer* TIdHTTPOverTls::nginx_ = nullptr;

} // namespace

TEST_F(TIdHTTPOverTls, KeptAliveRequestsShareOneConnectionWhateverTheirBodies)
{
    std::int64_t reported = 0;
    std::int64_t last = 0;
    http.OnWorkBegin = [&](TObject*, TWorkMode, std::int64_t) { last = 0; };
    http.OnWork = [&](TObject*, TWorkMode mode, std::int64_t position) {
        if (mode == wmRead)
            reported += position - std::exchange(last, position);
    };

    EXPECT_EQ(http.GetToString(Secure("/page.html?one")), "<html>the page</html>");
    EXPECT_EQ(http.GetToString(Secure("/chunked.html")), "<html>a PAGE, a PAGE</html>");
    EXPECT_EQ(http.Response().HeaderLines().ValueOf("Transfer-Encoding"), "chunked");
    reported = 0;
    EXPECT_TRUE(http.GetToString(Secure("/large.bin")) == LargeBody());
    EXPECT_EQ(reported, static_cast<std::int64_t>(kLargeBodySize)) << "read progress over TLS";
    EXPECT_EQ(http.GetToString(Secure("/page.html?two")), "<html>the page</html>");

    std::string connection;
    for (const char* path : {"/page.html?one", "/chunked.html", "/large.bin", "/page.html?two"}) {
        auto lines = nginx_->LogLinesFor(path);
        ASSERT_EQ(lines.size(), 1u) << path;
        EXPECT_NE(lines[0].find(" https \""), std::string::npos) << lines[0];
        if (connection.empty())
            connection = lines[0].substr(0, lines[0].find(' '));
        EXPECT_EQ(lines[0].substr(0, lines[0].find(' ')), connection) << lines[0];
    }
}

TEST_F(TIdHTTPOverTls, RedirectsCrossBetweenHttpAndHttpsAndSecureCookiesStayOnTls)
{
    EXPECT_EQ(http.GetToString(nginx_->BaseUrl() + "/hop1"), "<html>the page</html>");
    EXPECT_EQ(http.URL().Scheme(), "https");
    EXPECT_EQ(http.RedirectsSoFar(), 3);

    auto plain = nginx_->LogLinesFor("/hop3");
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_NE(plain[0].find(" http \"GET /hop3 HTTP/1.1\" 302 \"open=1\""), std::string::npos) << plain[0];
    auto secure = nginx_->LogLinesFor("/page.html?end");
    ASSERT_EQ(secure.size(), 1u);
    EXPECT_NE(secure[0].find("hidden=2"), std::string::npos) << secure[0];
    EXPECT_NE(secure[0].find("open=1"), std::string::npos) << secure[0];
}

TEST_F(TIdHTTPOverTls, RefusedCertificatesNameTheHostAndTheReasonAndNothingIsSent)
{
    const struct {
        TListener listener;
        const char* message;
    } rows[] = {
        {lsOtherName, "The certificate of 127.0.0.1 was made out for another name (IP address mismatch)."},
        {lsExpired, "The certificate of 127.0.0.1 has expired (certificate has expired)."},
        {lsStranger, "The certificate of 127.0.0.1 is not trusted (unable to get local issuer certificate)."},
    };
    for (const auto& row : rows) {
        TIdHTTP client;
        try {
            client.GetToString(Secure("/page.html?refused", row.listener));
            ADD_FAILURE() << row.message;
        } catch (const EIdTlsCertificateRefused& e) {
            EXPECT_STREQ(e.what(), row.message);
        }
    }
    // A request that went through is logged after anything sent before it.
    EXPECT_EQ(http.GetToString(Secure("/page.html?after")), "<html>the page</html>");
    ASSERT_EQ(nginx_->LogLinesFor("/page.html?after").size(), 1u);
    EXPECT_EQ(nginx_->AccessLog().find("refused"), std::string::npos) << nginx_->AccessLog();
}

// A body that ends without the server's close notification may have been cut
// by anyone on the way: it is never taken for a whole one.
TEST(TIdHTTPOverTlsPeer, ACutStreamIsTruncatedAndAStalledOneTimesOut)
{
    const TestCertificates& certificates = TestCertificates::Instance();
    certificates.Trust();
    const std::string truncated = "The secure connection to 127.0.0.1 was cut off before the data was complete.";
    const struct {
        bool length;
        const char* end;
        std::string raised; // empty: the 40,000 bytes arrive
    } rows[] = {
        {true, "cut", truncated},
        {false, "cut", truncated},
        {false, "notify", ""},
        {true, "stall", "Read Timeout"},
    };
    for (const auto& row : rows) {
        ScratchFolder folder("tls-peer");
        std::vector<std::string> arguments{
            "--certificate", certificates.Good().certificate, "--key", certificates.Good().key, "--end", row.end};
        if (row.length)
            arguments.push_back("--length");
        PythonPeer peer("tests/support/tls_peer.py", arguments, folder.path);
        TIdHTTP http;
        http.SetReadTimeout(300);
        std::string raised;
        std::string body;
        try {
            body = http.GetToString("https://127.0.0.1:" + std::to_string(peer.Port()) + "/");
        } catch (const EIdException& e) {
            raised = e.what();
        }
        EXPECT_EQ(raised, row.raised) << row.end << (row.length ? " with a length" : "");
        if (row.raised.empty()) {
            EXPECT_EQ(body, std::string(40000, 'x'));
        }
    }
}

TEST(TIdHTTPOverTlsPeer, AServerThatNeverAnswersTheHandshakeTimesOut)
{
    ScriptedPeer silent;
    silent.Pause(std::chrono::milliseconds(500));
    silent.Start();
    TIdHTTP http;
    http.SetReadTimeout(200);
    EXPECT_THROW(http.GetToString("https://127.0.0.1:" + std::to_string(silent.Port()) + "/"), EIdReadTimeout);
}

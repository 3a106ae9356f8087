#include "http/TIdHTTP.h"

#include "LargeBody.h"
#include "support/NginxServer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The way to the page sets one cookie per step, and each step refuses a
// visitor without the cookie of the step before.
const char* kSiteConfig = R"(
    location = /start {
        add_header Set-Cookie "step1=a; path=/";
        return 302 /middle;
    }
    location = /middle {
        if ($cookie_step1 != "a") { return 403; }
        add_header Set-Cookie "step2=b; path=/";
        return 301 /page.html;
    }
    location = /page.html {
        if ($cookie_step2 != "b") { return 403; }
    }
)";

class TIdHTTPAgainstNginx : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        root_ = new fs::path(fs::temp_directory_path() / ("skerrow-http-site-" + std::to_string(::getpid())));
        fs::create_directories(*root_);
        std::ofstream(*root_ / "page.html") << "<html>the page</html>";
        std::ofstream(*root_ / "other.html") << "<html>other</html>";
        std::ofstream(*root_ / "large.bin", std::ios::binary) << LargeBody();
        nginx_ = new NginxServer(root_->string(), kSiteConfig);
    }

    static void TearDownTestSuite()
    {
        delete nginx_;
        fs::remove_all(*root_);
        delete root_;
    }

    void SetUp() override
    {
        http.SetHandleRedirects(true);
        http.SetReadTimeout(6000);
        http.SetAllowCookies(true);
    }

    static fs::path* root_;
    static NginxServer* nginx_;
    TIdHTTP http;
};

fs::path* TIdHTTPAgainstNginx::root_ = nullptr;
NginxServer* TIdHTTPAgainstNginx::nginx_ = nullptr;

TEST_F(TIdHTTPAgainstNginx, RedirectChainSetsTheCookiesThePageNeeds)
{
    EXPECT_EQ(http.GetToString(nginx_->BaseUrl() + "/start"), "<html>the page</html>");
    EXPECT_EQ(http.ResponseCode(), 200);
    EXPECT_EQ(http.URL().DocumentName(), "page.html");
    EXPECT_EQ(http.RedirectsSoFar(), 2);
}

TEST_F(TIdHTTPAgainstNginx, WithoutCookiesThePageIsRefused)
{
    http.SetAllowCookies(false);
    try {
        http.GetToString(nginx_->BaseUrl() + "/start");
        ADD_FAILURE() << "no exception";
    } catch (const EIdHTTPProtocolException& e) {
        EXPECT_EQ(e.StatusNumber(), 403);
    }
}

TEST_F(TIdHTTPAgainstNginx, MissingPageRaisesWithTheErrorPage)
{
    try {
        http.GetToString(nginx_->BaseUrl() + "/missing.html");
        ADD_FAILURE() << "no exception";
    } catch (const EIdHTTPProtocolException& e) {
        EXPECT_EQ(e.StatusNumber(), 404);
        EXPECT_EQ(e.Message(), "HTTP/1.1 404 Not Found");
        EXPECT_NE(e.BodyText().find("404 Not Found"), std::string::npos);
    }
}

TEST_F(TIdHTTPAgainstNginx, LargeFileWithContentLength)
{
    std::ifstream in(*root_ / "large.bin", std::ios::binary);
    std::string expected((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string body = http.GetToString(nginx_->BaseUrl() + "/large.bin");
    EXPECT_EQ(http.Response().ContentLength(), static_cast<std::int64_t>(expected.size()));
    EXPECT_TRUE(body == expected) << "got " << body.size() << " bytes of " << expected.size();
}

TEST_F(TIdHTTPAgainstNginx, OneKeptAliveConnectionServesBothGets)
{
    EXPECT_EQ(http.GetToString(nginx_->BaseUrl() + "/other.html?first"), "<html>other</html>");
    http.Request().SetReferer(nginx_->BaseUrl() + "/");
    EXPECT_EQ(http.GetToString(nginx_->BaseUrl() + "/other.html?second"), "<html>other</html>");
    auto first = nginx_->LogLinesFor("/other.html?first", 1);
    auto second = nginx_->LogLinesFor("/other.html?second", 1);
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    // Each line starts with nginx's connection number.
    EXPECT_EQ(first[0].substr(0, first[0].find(' ')), second[0].substr(0, second[0].find(' '))) << first[0] << "\n"
                                                                                                << second[0];
}

} // namespace

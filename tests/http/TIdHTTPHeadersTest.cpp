#include "http/HttpDate.h"
#include "http/TIdHTTP.h"

#include <gtest/gtest.h>

namespace {

TEST(TIdHTTPRequestHead, FieldsAreWrittenInTheirFixedOrder)
{
    TIdHTTPRequest request;
    request.SetUserAgent("agent");
    request.SetReferer("http://r/");
    request.SetFrom("me@r");
    request.SetAcceptLanguage("es");
    request.SetAcceptEncoding("identity");
    request.SetAcceptCharSet("utf-8");
    request.SetHost("h:81");
    request.SetProxyConnection("keep-alive");
    request.SetRange("0-99");
    request.SetLastModified(784111777);
    request.SetUsername("u");
    request.SetPassword("p");
    request.SetBasicAuthentication(true);
    request.SetPragma("no-cache");
    request.SetExpires(784111777);
    request.SetDate(784111777);
    request.SetCacheControl("max-age=0");
    request.SetContentLength(4);
    request.SetContentType("text/plain");
    request.SetContentLanguage("en");
    request.SetContentEncoding("gzip");
    request.SetContentVersion("1");
    request.SetConnection("close");
    request.CustomHeaders().Add("X-One: 1");
    request.SetHeaders();
    const std::string date = "Sun, 06 Nov 1994 08:49:37 GMT";
    EXPECT_EQ(request.HeaderLines().Text(),
              "Connection: close\r\n"
              "Content-Version: 1\r\n"
              "Content-Encoding: gzip\r\n"
              "Content-Language: en\r\n"
              "Content-Type: text/plain\r\n"
              "Content-Length: 4\r\n"
              "Cache-control: max-age=0\r\n"
              "Date: " +
                  date +
                  "\r\n"
                  "Expires: " +
                  date +
                  "\r\n"
                  "Pragma: no-cache\r\n"
                  "X-One: 1\r\n"
                  "Proxy-Connection: keep-alive\r\n"
                  "Host: h:81\r\n"
                  "Accept: text/html, */*\r\n"
                  "Accept-Charset: utf-8\r\n"
                  "Accept-Encoding: identity\r\n"
                  "Accept-Language: es\r\n"
                  "From: me@r\r\n"
                  "Referer: http://r/\r\n"
                  "User-Agent: agent\r\n"
                  "Range: bytes=0-99\r\n"
                  "If-Modified-Since: " +
                  date +
                  "\r\n"
                  "Authorization: Basic dTpw\r\n");
}

TEST(TIdHTTPRequestHead, DefaultsAndEmptyFields)
{
    TIdHTTPRequest request;
    request.SetHeaders();
    EXPECT_EQ(request.HeaderLines().Text(),
              "Accept: text/html, */*\r\n"
              "User-Agent: Mozilla/3.0 (compatible; Vark Library)\r\n");
    request.SetContentLength(0);
    request.SetHeaders();
    EXPECT_EQ(request.HeaderLines().ValueOf("Content-Length"), "0");
}

TEST(TIdHTTPResponseHead, StatusLine)
{
    struct Row {
        const char* line;
        int number;
        TIdHTTPProtocolVersion version;
    };
    const Row rows[] = {
        {"HTTP/1.1 200 OK", 200, pv1_1},
        {"HTTP/1.0 404 Not Found", 404, pv1_0},
        {"HTTP/1.1  301  Moved", 301, pv1_1},
        {"HTTP/1.1 302", 302, pv1_1},
        {"HTTP/1.1 abc OK", -1, pv1_1},
        {"HTTP/1.1 99999999999 Big", -1, pv1_1},
        {"garbage", -1, pv1_1},
        {"", -1, pv1_1},
    };
    TIdHTTP http;
    for (const Row& row : rows) {
        http.Response().SetStatusLine(row.line);
        EXPECT_EQ(http.Response().StatusNumber(), row.number) << row.line;
        if (row.number > 0) {
            EXPECT_EQ(http.Response().ResponseProtocol(), row.version) << row.line;
        }
    }
}

TEST(TIdHTTPResponseHead, Fields)
{
    TIdHTTP http;
    TIdHTTPResponse& response = http.Response();
    for (const char* line :
         {"content-length:  12 ", "Content-Range: bytes 10-20/300", "LOCATION: /next", "Connection: Keep-Alive",
          "Date: Sun, 06 Nov 1994 08:49:37 GMT", "Last-Modified: not a date", "WWW-Authenticate: Basic realm=a",
          "www-authenticate: Digest realm=b", "Server: nginx"})
        response.HeaderLines().Add(line);
    response.ProcessHeaders();
    EXPECT_EQ(response.ContentLength(), 12);
    EXPECT_TRUE(response.HasContentLength());
    EXPECT_EQ(response.ContentRangeStart(), 10);
    EXPECT_EQ(response.ContentRangeEnd(), 20);
    EXPECT_EQ(response.ContentRangeInstanceLength(), 300);
    EXPECT_EQ(response.Location(), "/next");
    EXPECT_EQ(response.Connection(), "Keep-Alive");
    EXPECT_EQ(response.Date(), TIdHeaderDate(784111777));
    EXPECT_EQ(response.LastModified(), std::nullopt);
    EXPECT_EQ(response.WWWAuthenticate(), (std::vector<std::string>{"Basic realm=a", "Digest realm=b"}));
    EXPECT_EQ(response.Server(), "nginx");
}

TEST(TIdHTTPResponseHead, ContentLengthAndExpiresEdges)
{
    struct Row {
        const char* value;
        std::int64_t length;
    };
    const Row rows[] = {{"0", 0}, {"-5", -5}, {"x", -1}, {"", -1}, {"4294967296", -1}, {"2147483647", 2147483647}};
    TIdHTTP http;
    for (const Row& row : rows) {
        http.Response().HeaderLines().Clear();
        http.Response().HeaderLines().Add(std::string("Content-Length: ") + row.value);
        http.Response().ProcessHeaders();
        EXPECT_EQ(http.Response().ContentLength(), row.length) << row.value;
        EXPECT_EQ(http.Response().HasContentLength(), row.length >= 0) << row.value;
    }
    http.Response().HeaderLines().Clear();
    http.Response().HeaderLines().Add("Expires: 60");
    std::int64_t before = NowUtcSeconds();
    http.Response().ProcessHeaders();
    ASSERT_TRUE(http.Response().Expires());
    EXPECT_GE(*http.Response().Expires(), before + 60);
    EXPECT_LE(*http.Response().Expires(), NowUtcSeconds() + 60);
}

} // namespace

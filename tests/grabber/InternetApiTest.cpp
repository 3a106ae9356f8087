#include "grabber/internet/InternetApi.h"
#include "grabber/internet/ProxyLists.h"
#include "http/TWebAddress.h"
#include "support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::string LastText()
{
    char text[64];
    std::uint32_t length = sizeof text;
    std::uint32_t code = 0;
    EXPECT_TRUE(InternetGetLastResponseInfo(&code, text, &length));
    return std::string(text, length);
}

// The server of an address with that authority.
TWebAddress Server(const std::string& authority)
{
    return TWebAddress::Parse("http://" + authority + "/").value();
}

std::vector<std::uint32_t> seenStatuses;
void RecordStatus(HINTERNET, void*, std::uint32_t status, const void*, std::uint32_t)
{
    seenStatuses.push_back(status);
}

} // namespace

// Input that must be refused before it reaches the wire.

TEST(InternetApi, RefusesTextsThatWouldAddHeadersOrBendTheAddress)
{
    EXPECT_EQ(InternetOpen("agent\r\nX-Evil: 1", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(InternetOpen("agent", 7, nullptr, nullptr, 0), nullptr);

    HINTERNET session = InternetOpen("agent", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    ASSERT_NE(session, nullptr);
    for (const char* host : {"", "a b", "a\r\nb", "a\\b", "h:70000"}) {
        EXPECT_EQ(InternetConnect(session, Server(host), nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, nullptr), nullptr)
            << host;
        EXPECT_EQ(GetLastError(), ERROR_INTERNET_INVALID_URL) << host;
    }
    HINTERNET connection =
        InternetConnect(session, Server("127.0.0.1:1"), nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, nullptr);
    ASSERT_NE(connection, nullptr);
    EXPECT_EQ(HttpOpenRequest(connection, "GET", "a\r\nHost: b", "HTTP/1.0", "", nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(HttpOpenRequest(connection, "GET", "a", "HTTP/1.0", "r\nX: y", nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(HttpOpenRequest(connection, "POST", "a", "HTTP/1.0", "", nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(FtpOpenFile(connection, "a", GENERIC_READ, 0, nullptr), nullptr); // not an FTP connection
    EXPECT_TRUE(InternetCloseHandle(connection));
    EXPECT_TRUE(InternetCloseHandle(session));
}

TEST(InternetApi, StaleAndMadeUpHandlesAreRefused)
{
    HINTERNET session = InternetOpen("agent", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    ASSERT_TRUE(InternetCloseHandle(session));
    EXPECT_FALSE(InternetCloseHandle(session)); // closed twice
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    std::uint32_t read = 7;
    char buffer[4];
    EXPECT_FALSE(InternetReadFile(reinterpret_cast<HINTERNET>(buffer), buffer, 4, &read));
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(InternetConnect(session, Server("h"), nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, nullptr), nullptr);
    EXPECT_FALSE(InternetCloseHandle(nullptr));
}

TEST(InternetApi, LastResponseInfoIsCutToTheBuffer)
{
    InternetOpen("bad\n", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    char text[4];
    std::uint32_t length = sizeof text;
    ASSERT_TRUE(InternetGetLastResponseInfo(nullptr, text, &length));
    EXPECT_EQ(length, 3u);
    EXPECT_STREQ(text, "Inv");
    EXPECT_EQ(LastText(), "Invalid agent");
}

// One request against a scripted server.

TEST(InternetApi, ARequestReadsAtMostTheAskedBytesAndAnswersItsQueries)
{
    ScriptedPeer peer;
    peer.ReadUntil("\r\n\r\n")
        .Send("HTTP/1.1 200 Fine Here\r\nContent-Length: 10\r\nX-Long: " + std::string(40, 'v') + "\r\n\r\n0123456789")
        .Close();
    peer.Start();
    seenStatuses.clear();
    int context = 0;
    HINTERNET session = InternetOpen("agent", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    InternetSetStatusCallback(session, &RecordStatus);
    HINTERNET connection = InternetConnect(session, Server("127.0.0.1:" + std::to_string(peer.Port())), "user", "pw",
                                           INTERNET_SERVICE_HTTP, 0, &context);
    HINTERNET request = HttpOpenRequest(connection, "GET", "file", "HTTP/1.0", "", nullptr, 0, nullptr);
    ASSERT_NE(request, nullptr);
    ASSERT_TRUE(HttpSendRequest(request, nullptr, 0, nullptr, 0));

    char header[8];
    std::uint32_t length = sizeof header;
    std::uint32_t index = 0;
    ASSERT_TRUE(HttpQueryInfo(request, HTTP_QUERY_STATUS_CODE, header, &length, &index));
    EXPECT_STREQ(header, "200");
    length = 4; // too short for "Fine Here": the size needed comes back
    EXPECT_FALSE(HttpQueryInfo(request, HTTP_QUERY_STATUS_TEXT, header, &length, &index));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(length, 10u);
    length = sizeof header;
    ASSERT_TRUE(HttpQueryInfo(request, HTTP_QUERY_CONTENT_LENGTH, header, &length, &index));
    EXPECT_STREQ(header, "10");

    std::string body;
    char chunk[3];
    std::uint32_t read = 0;
    while (InternetReadFile(request, chunk, sizeof chunk, &read) && read > 0) {
        EXPECT_LE(read, sizeof chunk);
        body.append(chunk, read);
    }
    EXPECT_EQ(body, "0123456789");
    EXPECT_TRUE(InternetCloseHandle(request));
    EXPECT_TRUE(InternetCloseHandle(connection));
    EXPECT_TRUE(InternetCloseHandle(session));
    peer.Wait();
    EXPECT_NE(peer.Received().find("Authorization: Basic dXNlcjpwdw==\r\n"), std::string::npos);
    EXPECT_EQ(seenStatuses.back(), INTERNET_STATUS_CONNECTION_CLOSED);
}

TEST(InternetApi, ProxyBypassForLocalNamesSkipsTheProxy)
{
    // "<local>" bypasses host names without a dot: the request goes straight
    // to the server although the proxy named does not exist.
    ScriptedPeer peer;
    peer.ReadUntil("\r\n\r\n").Send("HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n").Close();
    peer.Start();
    HINTERNET session = InternetOpen("agent", INTERNET_OPEN_TYPE_PROXY, "http=no.such.proxy.invalid:1", "<local>", 0);
    HINTERNET connection = InternetConnect(session, Server("localhost:" + std::to_string(peer.Port())), nullptr,
                                           nullptr, INTERNET_SERVICE_HTTP, 0, nullptr);
    HINTERNET request = HttpOpenRequest(connection, "GET", "x", "HTTP/1.0", "", nullptr, 0, nullptr);
    EXPECT_TRUE(HttpSendRequest(request, nullptr, 0, nullptr, 0)) << LastText();
    InternetCloseHandle(request);
    InternetCloseHandle(connection);
    InternetCloseHandle(session);
    peer.Wait();
    EXPECT_EQ(peer.Received().rfind("GET /x HTTP/1.0\r\n", 0), 0u);
}

TEST(ProxyLists, TheSchemesEntryWinsOverTheCatchAllAndTheBypassListIsTranslated)
{
    EXPECT_EQ(ProxyFor("proxy:3128 HTTP=web:8080;ftp=files:21", "http"), "web:8080") << "scheme in any letter case";
    EXPECT_EQ(ProxyFor("ftp=files:21 proxy:3128", "http"), "proxy:3128");
    EXPECT_EQ(ProxyFor("ftp=files:21", "http"), "");
    EXPECT_EQ(NoProxyList("*.example.com; <local>,intranet  10.0.0.1"), ".example.com,intranet,10.0.0.1");
    EXPECT_EQ(NoProxyList("*"), "*") << "every host, not none";
    EXPECT_TRUE(BypassesLocal("<local>", "intranet"));
    EXPECT_FALSE(BypassesLocal("<local>", "www.example.com"));
}

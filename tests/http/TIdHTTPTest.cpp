#include "http/TIdHTTP.h"
#include "http/EIdSocketError.h"
#include "http/TIdIOHandlerStack.h"

#include "support/LocalPort.h"
#include "support/ScriptedPeer.h"

#include "runtime/TStringStream.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace {

using namespace std::chrono_literals;

constexpr int kReadTimeout = 250;
const std::string kEndOfHead = "\r\n\r\n";

std::string Reply(const std::string& statusLine, const std::string& headers = "Content-Length: 0\r\n",
                  const std::string& body = {})
{
    return statusLine + "\r\n" + headers + "\r\n" + body;
}

// The address of a path on a scripted peer.
std::string Address(const ScriptedPeer& peer, const std::string& path = "/")
{
    return "http://127.0.0.1:" + std::to_string(peer.Port()) + path;
}

std::string Ok(const std::string& body)
{
    return Reply("HTTP/1.1 200 OK", "Content-Length: " + std::to_string(body.size()) + "\r\n", body);
}

// The client as the link resolution sets it up.
struct HttpFixture : ::testing::Test {
    ScriptedPeer peer;
    TIdHTTP http;

    HttpFixture()
    {
        http.SetHandleRedirects(true);
        http.SetReadTimeout(kReadTimeout);
        http.Request().SetUserAgent("Skerrow-Test/1.0");
        http.SetAllowCookies(true);
    }

    std::string Base() const { return Address(peer, ""); }
    std::string HostLine() const { return "Host: 127.0.0.1:" + std::to_string(peer.Port()) + "\r\n"; }

    // Answers each request on the first connection in turn.
    void Serve(const std::vector<std::string>& replies)
    {
        for (const std::string& reply : replies)
            peer.ReadUntil(kEndOfHead).Send(reply);
        peer.Start();
    }
};

using TIdHTTPExchange = HttpFixture;

// Request heads.

TEST_F(TIdHTTPExchange, FirstAndSecondRequestHeadsByteForByte)
{
    Serve({Reply("HTTP/1.1 200 OK", "Set-Cookie: VISITOR=v1; path=/\r\nContent-Length: 4\r\n", "page"), Ok("record")});
    EXPECT_EQ(http.GetToString(Base() + "/watch?v=abc"), "page");
    http.Request().SetReferer(Base() + "/");
    EXPECT_EQ(http.GetToString(Base() + "/get_video_info?video_id=abc"), "record");
    peer.Wait();

    EXPECT_EQ(peer.Received(0),
              "GET /watch?v=abc HTTP/1.1\r\n" + HostLine() +
                  "Accept: text/html, */*\r\n"
                  "Accept-Encoding: identity\r\n"
                  "User-Agent: Skerrow-Test/1.0\r\n"
                  "\r\n"
                  "GET /get_video_info?video_id=abc HTTP/1.1\r\n" +
                  HostLine() +
                  "Accept: text/html, */*\r\n"
                  "Accept-Encoding: identity\r\n"
                  "Referer: " +
                  Base() +
                  "/\r\n"
                  "User-Agent: Skerrow-Test/1.0\r\n"
                  "Cookie: VISITOR=v1\r\n"
                  "\r\n");
    EXPECT_EQ(peer.Connections(), 1) << "the second GET reuses the connection";
}

TEST_F(TIdHTTPExchange, HostLineLeavesOutPort80AndVersion10AsksToKeepAlive)
{
    Serve({Ok("x")});
    http.SetProtocolVersion(pv1_0);
    http.Request().SetAcceptEncoding("gzip");
    http.GetToString(Base() + "/a/b.html");
    peer.Wait();
    const std::string head = peer.Received(0);
    EXPECT_EQ(head.substr(0, head.find("\r\n")), "GET /a/b.html HTTP/1.0");
    EXPECT_NE(head.find("Connection: keep-alive\r\n"), std::string::npos);
    EXPECT_NE(head.find("Accept-Encoding: gzipidentity\r\n"), std::string::npos);
    // Without keep-alive in the reply a 1.0 client does not keep the connection.
    EXPECT_FALSE(http.Response().KeepConnection());
}

TEST_F(TIdHTTPExchange, LineBreaksInHeaderValuesAreRefusedBeforeSending)
{
    peer.Start();
    http.Request().SetUserAgent("agent\r\nX-Injected: 1");
    EXPECT_THROW(http.GetToString(Base() + "/"), EIdHTTPHeaderValueInvalid);
    http.Request().SetUserAgent("agent");
    http.Request().CustomHeaders().Add("X-Other: a\rb");
    EXPECT_THROW(http.GetToString(Base() + "/"), EIdHTTPHeaderValueInvalid);
    http.CloseConnection();
    EXPECT_EQ(peer.Received(), "");
}

TEST_F(TIdHTTPExchange, ARedirectWithALineBreakInItsTargetIsNotFollowed)
{
    Serve({Reply("HTTP/1.1 302 Found", "Location: /a\rX-Injected: 1\r\nContent-Length: 0\r\n")});
    EXPECT_THROW(http.GetToString(Base() + "/"), EIdHTTPHeaderValueInvalid);
    peer.Wait();
    EXPECT_EQ(peer.Received().find("X-Injected"), std::string::npos);
}

TEST(TIdHTTPAddress, HttpsOnAPlainHandlerAndSchemeLessFirstRequestsFailBeforeSending)
{
    ScriptedPeer peer;
    peer.Start();
    const std::string port = std::to_string(peer.Port());
    {
        TIdIOHandlerStack plain;
        TIdHTTP http;
        http.SetIOHandler(&plain);
        try {
            http.GetToString("https://127.0.0.1:" + port + "/");
            ADD_FAILURE() << "https was fetched";
        } catch (const EIdIOHandlerPropInvalid& e) {
            EXPECT_STREQ(e.what(), "IOHandler value is not valid");
        }
    }
    {
        TIdHTTP http;
        try {
            http.GetToString("127.0.0.1/watch");
            ADD_FAILURE() << "a relative address was fetched";
        } catch (const EIdUnknownProtocol& e) {
            EXPECT_STREQ(e.what(), "Unknown Protocol");
        }
    }
    EXPECT_EQ(peer.Connections(), 0);
}

// Body framing.

struct FramingRow {
    const char* why;
    std::string reply;
    bool closeAfter;
    std::string body;
};

TEST(TIdHTTPBody, Framings)
{
    const std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    const FramingRow rows[] = {
        {"length", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", false, "hello"},
        {"short length keeps what came", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabcd", true, "abcd"},
        {"zero length", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", false, ""},
        {"until close", "HTTP/1.1 200 OK\r\n\r\neverything", true, "everything"},
        {"length that is not a number reads until close", "HTTP/1.1 200 OK\r\nContent-Length: x\r\n\r\nall", true,
         "all"},
        {"chunks", chunked + "5\r\nhello\r\n3\r\nabc\r\n0\r\n\r\n", false, "helloabc"},
        {"hex sizes in both cases", chunked + "a\r\n0123456789\r\nA\r\nabcdefghij\r\n0\r\n\r\n", false,
         "0123456789abcdefghij"},
        {"extension after ';'", chunked + "5;name=value\r\nhello\r\n0\r\n\r\n", false, "hello"},
        {"size followed by a blank", chunked + "3 \r\nabc\r\n0\r\n\r\n", false, "abc"},
        {"closed instead of the last empty line", chunked + "2\r\nab\r\n0\r\n", true, "ab"},
        {"a 204 has no body", "HTTP/1.1 204 No Content\r\n\r\n", false, ""},
    };
    for (const FramingRow& row : rows) {
        ScriptedPeer peer;
        peer.ReadUntil(kEndOfHead).Send(row.reply);
        if (row.closeAfter)
            peer.Close();
        peer.Start();
        TIdHTTP http;
        http.SetReadTimeout(2000);
        try {
            EXPECT_EQ(http.GetToString(Address(peer)), row.body) << row.why;
        } catch (const std::exception& e) {
            ADD_FAILURE() << row.why << ": " << e.what();
        }
    }
}

// A stall raises "Read Timeout" wherever it happens: never an empty line
// taken for a status, for the end of the head or of a chunk.
TEST(TIdHTTPStall, RaisesReadTimeoutWhereItHappens)
{
    const std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    const struct {
        const char* where;
        std::string sent;
    } rows[] = {
        {"before the status line", ""},
        {"inside the head", "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n"},
        {"on a chunk size line", chunked + "5\r\nhello\r\n"},
        {"after a chunk's bytes", chunked + "5\r\nhello"},
        {"inside a length", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc"},
    };
    for (const auto& row : rows) {
        ScriptedPeer peer;
        peer.ReadUntil(kEndOfHead).Send(row.sent).ReadUntilClosed();
        peer.Start();
        TIdHTTP http;
        http.SetReadTimeout(kReadTimeout);
        try {
            http.GetToString(Address(peer));
            ADD_FAILURE() << row.where << ": no failure";
        } catch (const EIdReadTimeout& e) {
            EXPECT_STREQ(e.what(), "Read Timeout") << row.where;
        } catch (const std::exception& e) {
            ADD_FAILURE() << row.where << ": " << e.what();
        }
    }
}

TEST_F(TIdHTTPExchange, PeerClosingInsideAChunkFails)
{
    peer.ReadUntil(kEndOfHead).Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n9\r\nhel").Close();
    peer.Start();
    EXPECT_THROW(http.GetToString(Base() + "/"), EIdConnClosedGracefully);
}

TEST_F(TIdHTTPExchange, Status100IsSkipped)
{
    Serve({"HTTP/1.1 100 Continue\r\n\r\n" + Ok("done")});
    EXPECT_EQ(http.GetToString(Base() + "/"), "done");
    EXPECT_EQ(http.ResponseCode(), 200);
    EXPECT_EQ(http.ResponseText(), "HTTP/1.1 200 OK");
}

// Redirects.

TEST_F(TIdHTTPExchange, Redirect301IsFollowedOnTheSameConnection)
{
    Serve(
        {Reply("HTTP/1.1 301 Moved Permanently", "Location: /x\r\nContent-Length: 9\r\n", "moved\nhere"), Ok("final")});
    EXPECT_EQ(http.GetToString(Base() + "/start/page"), "final");
    peer.Wait();
    EXPECT_NE(peer.Received(0).find("GET /x HTTP/1.1\r\n"), std::string::npos);
    EXPECT_EQ(peer.Connections(), 1);
    EXPECT_EQ(http.URL().Host(), "127.0.0.1");
    EXPECT_EQ(http.URL().Directory(), "/");
    EXPECT_EQ(http.URL().DocumentName(), "x");
    EXPECT_EQ(http.URL().AddressText(), Base() + "/x");
}

TEST_F(TIdHTTPExchange, RelativeRedirectMergesWithTheCurrentDirectory)
{
    Serve({Reply("HTTP/1.1 302 Found", "Location: ../c?q=1\r\nContent-Length: 0\r\n"), Ok("c")});
    EXPECT_EQ(http.GetToString(Base() + "/a/b/doc"), "c");
    peer.Wait();
    EXPECT_NE(peer.Received(0).find("GET /a/c?q=1 HTTP/1.1\r\n"), std::string::npos);
}

TEST(TIdHTTPRedirect, VerbAfterARedirectOfAPost)
{
    struct Row {
        int code;
        const char* nextVerb;
        bool bodyAgain;
    };
    const Row rows[] = {{301, "POST", true}, {302, "GET", false}, {303, "GET", false}, {307, "POST", true}};
    for (const Row& row : rows) {
        ScriptedPeer peer;
        peer.ReadUntil("\r\n\r\ndata")
            .Send(Reply("HTTP/1.1 " + std::to_string(row.code) + " Moved", "Location: /next\r\nContent-Length: 0\r\n"))
            .ReadUntil(row.bodyAgain ? "\r\n\r\ndata" : kEndOfHead)
            .Send(Ok("ok"));
        peer.Start();
        TIdHTTP http;
        http.SetHandleRedirects(true);
        http.SetReadTimeout(kReadTimeout);
        TStringStream source("data");
        TStringStream response;
        http.Post(Address(peer, "/form"), source, response);
        peer.Wait();
        EXPECT_EQ(response.DataString(), "ok") << row.code;
        std::string all = peer.Received(0);
        std::string second = all.substr(all.find("data") + 4);
        EXPECT_EQ(second.substr(0, second.find(' ')), row.nextVerb) << row.code;
        EXPECT_EQ(second.find("Content-Length: 4") != std::string::npos, row.bodyAgain) << row.code;
    }
}

TEST_F(TIdHTTPExchange, RedirectLoopFollows14AndThenFailsSayingSo)
{
    std::vector<std::string> replies(15,
                                     Reply("HTTP/1.1 302 Found", "Location: /loop\r\nContent-Length: 4\r\n", "loop"));
    Serve(replies);
    try {
        http.GetToString(Base() + "/loop");
        ADD_FAILURE() << "the loop ended without a failure";
    } catch (const EIdTooManyRedirects& e) {
        EXPECT_STREQ(e.what(), "The page redirects too often");
    }
    peer.Wait();
    EXPECT_EQ(peer.Failure(), "");
    EXPECT_EQ(http.RedirectsSoFar(), 15);
    EXPECT_EQ(http.ResponseCode(), 302);
    std::string all = peer.Received(0);
    int requests = 0;
    for (std::size_t at = all.find("GET "); at != std::string::npos; at = all.find("GET ", at + 1))
        ++requests;
    EXPECT_EQ(requests, 15);
}

// The client speaks HTTP only: a redirect to another scheme is refused,
// instead of being asked over HTTP of the host it names (or of the current
// one).
TEST(TIdHTTPRedirect, ARedirectToAnotherSchemeIsRefused)
{
    const struct {
        std::string location;
        const char* message;
    } rows[] = {
        // Without a port of its own, it went to the current one.
        {"ftp://127.0.0.1/clip.mp4", "The page redirects to an address that is neither http nor https (ftp:)"},
        {"file:///etc/passwd", "The page redirects to an address that is neither http nor https (file:)"},
        {"FILE:/etc/passwd", "The page redirects to an address that is neither http nor https (FILE:)"},
        {"javascript:alert(1)", "The page redirects to an address that is neither http nor https (javascript:)"},
        {std::string(100, 'x') + ":y", // a scheme is named by its first 32 bytes
         "The page redirects to an address that is neither http nor https (xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx:)"},
    };
    for (const auto& row : rows) {
        ScriptedPeer peer;
        peer.ReadUntil(kEndOfHead)
            .Send(Reply("HTTP/1.1 302 Found", "Location: " + row.location + "\r\nContent-Length: 0\r\n"));
        peer.Start();
        TIdHTTP http;
        http.SetHandleRedirects(true);
        http.SetReadTimeout(kReadTimeout);
        try {
            http.GetToString(Address(peer, "/page"));
            ADD_FAILURE() << row.location;
        } catch (const std::exception& e) {
            EXPECT_STREQ(e.what(), row.message);
        }
    }
}

TEST_F(TIdHTTPExchange, RedirectWithRedirectsOffFailsWithTheStatus)
{
    http.SetHandleRedirects(false);
    Serve({Reply("HTTP/1.1 302 Found", "Location: /x\r\nContent-Length: 5\r\n", "moved")});
    try {
        http.GetToString(Base() + "/");
        ADD_FAILURE() << "no exception";
    } catch (const EIdHTTPProtocolException& e) {
        EXPECT_STREQ(e.what(), "HTTP/1.1 302 Found");
        EXPECT_EQ(e.StatusNumber(), 302);
        EXPECT_EQ(e.BodyText(), "moved");
    }
}

TEST_F(TIdHTTPExchange, IgnoredStatusEndsQuietly)
{
    Serve({Reply("HTTP/1.1 404 Not Found", "Content-Length: 4\r\n", "gone")});
    TStringStream body;
    http.GetToStream(Base() + "/", body, {404});
    EXPECT_EQ(body.DataString(), "");
    EXPECT_EQ(http.ResponseCode(), 404);
}

TEST_F(TIdHTTPExchange, OnRedirectCanChangeTheAddressOrRefuse)
{
    Serve({Reply("HTTP/1.1 302 Found", "Location: /x\r\nContent-Length: 0\r\n"), Ok("changed"),
           Reply("HTTP/1.1 302 Found", "Location: /y\r\nContent-Length: 0\r\n")});
    int calls = 0;
    http.OnRedirect = [&](TObject* sender, std::string& dest, int& count, bool& handled, std::string& verb) {
        EXPECT_EQ(sender, &http);
        EXPECT_EQ(verb, "GET");
        EXPECT_EQ(count, 1);
        if (++calls == 1)
            dest = "/elsewhere";
        else
            handled = false;
    };
    EXPECT_EQ(http.GetToString(Base() + "/"), "changed");
    EXPECT_THROW(http.GetToString(Base() + "/"), EIdHTTPProtocolException);
    peer.Wait();
    EXPECT_NE(peer.Received(0).find("GET /elsewhere HTTP/1.1"), std::string::npos);
}

TEST_F(TIdHTTPExchange, LocationOnA200IsFollowed)
{
    Serve({Reply("HTTP/1.1 200 OK", "Location: /y\r\nContent-Length: 3\r\n", "abc"), Ok("y")});
    EXPECT_EQ(http.GetToString(Base() + "/"), "y");
    EXPECT_EQ(http.URL().DocumentName(), "y");
}

// Errors.

TEST_F(TIdHTTPExchange, NotFoundCarriesTheErrorPage)
{
    Serve({Reply("HTTP/1.1 404 Not Found", "Content-Length: 14\r\n", "<h1>gone</h1>\n")});
    try {
        http.GetToString(Base() + "/missing");
        ADD_FAILURE() << "no exception";
    } catch (const EIdHTTPProtocolException& e) {
        EXPECT_STREQ(e.what(), "HTTP/1.1 404 Not Found");
        EXPECT_EQ(e.StatusNumber(), 404);
        EXPECT_EQ(e.BodyText(), "<h1>gone</h1>\n");
    }
}

TEST(TIdHTTPErrors, StatusesThatFail)
{
    const char* lines[] = {"HTTP/1.1 401 Unauthorized", "HTTP/1.1 407 Proxy Authentication Required",
                           "HTTP/1.1 304 Not Modified", "HTTP/1.1 500 Internal Server Error",
                           "HTTP/1.1 101 Switching",    "garbage"};
    for (const char* line : lines) {
        ScriptedPeer peer;
        peer.ReadUntil(kEndOfHead).Send(Reply(line, "WWW-Authenticate: Basic realm=x\r\nContent-Length: 2\r\n", "no"));
        peer.Start();
        TIdHTTP http;
        http.SetReadTimeout(kReadTimeout);
        try {
            http.GetToString(Address(peer));
            ADD_FAILURE() << line;
        } catch (const EIdHTTPProtocolException& e) {
            EXPECT_EQ(e.Message(), line);
            EXPECT_EQ(e.BodyText(), "no") << line;
        }
    }
}

// A socket error of a request names the server in words for the user, and
// keeps its code.
TEST(TIdHTTPErrors, SocketErrorsNameTheServer)
{
    LocalPort closed;
    ScriptedPeer resetting;
    resetting.ReadUntil(kEndOfHead).Reset();
    resetting.Start();
    const std::string refused = "127.0.0.1:" + std::to_string(closed.Port());
    const std::string reset = "127.0.0.1:" + std::to_string(resetting.Port());
    const struct {
        std::string address;
        int code;
        std::string message;
    } rows[] = {
        {"http://" + refused + "/", 10061, "Could not connect to " + refused + ": connection refused."},
        // Blanks make the name invalid, so the resolver answers at once.
        {"http://no such host/", 11001, "Host not found: no such host"},
        {"http://" + reset + "/", 10054, "The connection to " + reset + " failed: connection reset by peer."},
    };
    for (const auto& row : rows) {
        TIdHTTP http;
        http.SetReadTimeout(kReadTimeout);
        try {
            http.GetToString(row.address);
            ADD_FAILURE() << row.address;
        } catch (const EIdSocketError& e) {
            EXPECT_EQ(e.LastError(), row.code);
            EXPECT_EQ(e.Message(), row.message);
        }
    }
}

TEST_F(TIdHTTPExchange, CloseBeforeTheStatusLineFails)
{
    peer.ReadUntil(kEndOfHead).Close();
    peer.Start();
    EXPECT_THROW(http.GetToString(Base() + "/"), EIdConnClosedGracefully);
}

// Connections and cookies.

TEST_F(TIdHTTPExchange, ConnectionCloseThenANewConnection)
{
    peer.ReadUntil(kEndOfHead)
        .Send(Reply("HTTP/1.1 200 OK", "Connection: CLOSE\r\nContent-Length: 3\r\n", "one"))
        .ReadUntilClosed()
        .Accept()
        .ReadUntil(kEndOfHead)
        .Send(Ok("two"));
    peer.Start();
    EXPECT_EQ(http.GetToString(Base() + "/1"), "one");
    EXPECT_EQ(http.GetToString(Base() + "/2"), "two");
    peer.Wait();
    EXPECT_EQ(peer.Failure(), "");
    EXPECT_EQ(peer.Connections(), 2);
}

TEST_F(TIdHTTPExchange, PeerCloseAfterAResponseMeansANewConnection)
{
    peer.ReadUntil(kEndOfHead).Send(Ok("one")).Close().Accept().ReadUntil(kEndOfHead).Send(Ok("two"));
    peer.Start();
    EXPECT_EQ(http.GetToString(Base() + "/1"), "one");
    // Waits until the close has arrived.
    http.IOHandler()->ReceiveStep(false, 5000, false);
    EXPECT_EQ(http.GetToString(Base() + "/2"), "two");
    peer.Wait();
    EXPECT_EQ(peer.Connections(), 2);
}

TEST_F(TIdHTTPExchange, SetCookieInAnyLetterCaseIsStoredInOrder)
{
    Serve({Reply("HTTP/1.1 302 Found", "Set-Cookie: a=1\r\nset-cookie: b=2\r\nLocation: /n\r\nContent-Length: 0\r\n"),
           Ok("n"), Ok("again")});
    EXPECT_EQ(http.GetToString(Base() + "/"), "n");
    EXPECT_EQ(http.GetToString(Base() + "/"), "again");
    peer.Wait();
    const std::string all = peer.Received(0);
    const std::size_t first = all.find("Cookie: a=1; b=2\r\n");
    ASSERT_NE(first, std::string::npos) << "cookies of a redirect go with the next request";
    EXPECT_NE(all.find("Cookie: a=1; b=2\r\n", first + 1), std::string::npos);
}

TEST_F(TIdHTTPExchange, NoCookieStoreWithoutAllowCookies)
{
    http.SetAllowCookies(false);
    Serve({Reply("HTTP/1.1 200 OK", "Set-Cookie: a=1\r\nContent-Length: 0\r\n"), Ok("x")});
    http.GetToString(Base() + "/");
    http.GetToString(Base() + "/");
    peer.Wait();
    EXPECT_EQ(http.CookieManager(), nullptr);
    EXPECT_EQ(peer.Received(0).find("Cookie:"), std::string::npos);
}

TEST_F(TIdHTTPExchange, HeadersAvailableCanStopTheRequest)
{
    peer.ReadUntil(kEndOfHead).Send(Ok("unread")).ReadUntilClosed().Accept().ReadUntil(kEndOfHead).Send(Ok("next"));
    peer.Start();
    http.OnHeadersAvailable = [](TObject*, TIdHeaderList* headers, bool& proceed) {
        EXPECT_EQ(headers->ValueOf("Content-Length"), "6");
        proceed = false;
    };
    EXPECT_EQ(http.GetToString(Base() + "/"), "");
    EXPECT_FALSE(http.IsConnected());
    // The unread body of the stopped reply is not taken for the next reply.
    http.OnHeadersAvailable = nullptr;
    EXPECT_EQ(http.GetToString(Base() + "/"), "next");
}

TEST_F(TIdHTTPExchange, AuthorizationHandlerGetsOneMoreTry)
{
    Serve({Reply("HTTP/1.1 401 Unauthorized", "WWW-Authenticate: Basic realm=x\r\nContent-Length: 4\r\n", "deny"),
           Ok("secret")});
    http.SetHTTPOptions(hoInProcessAuth);
    int asked = 0;
    http.OnAuthorization = [&](TObject*, TIdHTTPRequest& request, bool& handled) {
        ++asked;
        request.SetUsername("u");
        request.SetPassword("p");
        request.SetBasicAuthentication(true);
        handled = true;
    };
    EXPECT_EQ(http.GetToString(Base() + "/private"), "secret");
    peer.Wait();
    EXPECT_EQ(asked, 1);
    const std::string all = peer.Received(0);
    EXPECT_EQ(all.find("Authorization:"), all.rfind("Authorization:"));
    EXPECT_NE(all.find("GET /private HTTP/1.1\r\n", all.find("\r\n\r\n")), std::string::npos);
    EXPECT_NE(all.find("Authorization: Basic dTpw\r\n"), std::string::npos);
}

TEST_F(TIdHTTPExchange, StalledRedirectBodyIsGivenUpAfterFourSeconds)
{
    peer.ReadUntil(kEndOfHead)
        .Send(Reply("HTTP/1.1 302 Found", "Location: /next\r\nContent-Length: 10\r\n", "abc"))
        .ReadUntilClosed()
        .Accept()
        .ReadUntil(kEndOfHead)
        .Send(Ok("next"));
    peer.stepTimeout = std::chrono::milliseconds(8000);
    peer.Start();
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(http.GetToString(Base() + "/"), "next");
    // The wait is the discard read's own timeout, not the client's short one
    // (a poll may wake a moment early).
    EXPECT_GE(std::chrono::steady_clock::now() - started,
              std::chrono::milliseconds(TIdCustomHTTP::kRedirectBodyReadTimeout) - 50ms);
    EXPECT_EQ(http.ReadTimeout(), kReadTimeout);
    peer.Wait();
    EXPECT_EQ(peer.Connections(), 2) << "the unfinished reply's connection is not reused";
}

} // namespace

#include "http/TIdHTTP.h"

#include "runtime/TThread.h"
#include "support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

std::string Address(const ScriptedPeer& peer, const std::string& path = "/")
{
    return "http://127.0.0.1:" + std::to_string(peer.Port()) + path;
}

// The failure a GET ends with, or "" when it succeeds.
std::string GetFailure(TIdHTTP& http, const std::string& address)
{
    try {
        http.GetToString(address);
        return "";
    } catch (const std::exception& e) {
        return e.what();
    }
}

} // namespace

TEST(BodyLimit, ABodyMayReachTheLimitButNotPassIt)
{
    constexpr int kLimit = 1000;
    const std::string full(kLimit, 'x');
    const std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    const struct {
        const char* why;
        std::string reply;
        const char* failure;
    } rows[] = {
        {"a length at the limit", "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" + full, ""},
        {"a length past the limit fails before reading", "HTTP/1.1 200 OK\r\nContent-Length: 1001\r\n\r\n",
         "Response too large."},
        {"no length: one byte too many", "HTTP/1.1 200 OK\r\n\r\n" + full + "y", "Response too large."},
        {"chunks adding up past it", chunked + "3e8\r\n" + full + "\r\n1\r\ny\r\n0\r\n\r\n", "Response too large."},
    };
    for (const auto& row : rows) {
        ScriptedPeer peer;
        peer.ReadUntil("\r\n\r\n").Send(row.reply).Close();
        peer.Start();
        TIdHTTP http;
        http.SetReadTimeout(5000);
        http.SetMaxBodySize(kLimit);
        EXPECT_EQ(GetFailure(http, Address(peer)), row.failure) << row.why;
    }
}

// What was left unread of a refused reply is never taken for the next one.
TEST(BodyLimit, TheNextRequestGetsAFreshConnection)
{
    ScriptedPeer peer;
    peer.ReadUntil("\r\n\r\n")
        .Send("HTTP/1.1 200 OK\r\nContent-Length: 20\r\n\r\n" + std::string(20, 'x'))
        .ReadUntilClosed()
        .Accept()
        .ReadUntil("\r\n\r\n")
        .Send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
    peer.Start();
    TIdHTTP http;
    http.SetReadTimeout(5000);
    http.SetMaxBodySize(10);
    EXPECT_EQ(GetFailure(http, Address(peer)), "Response too large.");
    EXPECT_EQ(http.GetToString(Address(peer)), "ok");
    peer.Wait();
    EXPECT_EQ(peer.Connections(), 2);
}

TEST(RequestTimeout, EndsAPageThatDripsAndLeavesTheNextRequestUnbounded)
{
    ScriptedPeer peer;
    peer.ReadUntil("\r\n\r\n").Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n");
    for (int i = 0; i < 20; ++i)
        peer.Send("x").Pause(std::chrono::milliseconds(50));
    peer.Start();
    TIdHTTP http;
    http.SetReadTimeout(1000);
    http.SetRequestTimeout(300);
    EXPECT_EQ(GetFailure(http, Address(peer)), "Request timed out.");
    EXPECT_FALSE(http.Deadline()) << "the deadline belongs to the request";
}

// A worker that is told to stop leaves its wait at once, without a word,
// however patient its time-outs.
TEST(StoppedWorker, LeavesAWaitForASilentServer)
{
    ScriptedPeer peer;
    peer.ReadUntil("\r\n\r\n").ReadUntilClosed();
    peer.stepTimeout = std::chrono::milliseconds(60000);
    peer.Start();

    class Fetch : public TThread {
    public:
        explicit Fetch(std::string address) : address_(std::move(address)) {}
        ~Fetch() override { WaitFor(); }
        std::atomic<bool> aborted{false};

    protected:
        void Execute() override
        {
            TIdHTTP http;
            http.SetReadTimeout(60000);
            try {
                http.GetToString(address_);
            } catch (const EAbort&) {
                aborted = true;
            }
        }

    private:
        std::string address_;
    } fetch(Address(peer));
    fetch.Start();
    while (peer.Received().find("\r\n\r\n") == std::string::npos)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    auto asked = std::chrono::steady_clock::now();
    fetch.Terminate();
    fetch.WaitFor();
    EXPECT_TRUE(fetch.aborted);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(5));
    peer.Wait();
}

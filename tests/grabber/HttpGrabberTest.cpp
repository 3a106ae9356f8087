#include "GrabberRecorder.h"
#include "ShortReceiveTimeout.h"
#include "TestBytes.h"

#include "grabber/EGrabberNotStopped.h"
#include "grabber/TJvHttpUrlGrabber.h"
#include "grabber/internet/InternetApi.h"
#include "support/NginxServer.h"
#include "support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::string Response(const std::string& head, const std::string& body)
{
    return head + "\r\n\r\n" + body;
}

// A grabber aimed at a loopback peer, writing into a scratch folder.
class HttpGrabberTest : public testing::Test {
protected:
    void SetUp() override
    {
        grabber.SetProxyMode(pmNoProxy);
        grabber.SetFileName(target);
    }

    void Aim(std::uint16_t port, const std::string& path = "get_video?video_id=x&t=y")
    {
        grabber.SetUrl("http://127.0.0.1:" + std::to_string(port) + "/" + path);
    }

    ScratchFolder folder;
    std::string target = folder.File("video.flv");
    TJvHttpUrlGrabber grabber;
    GrabberRecorder recorder{grabber};
    ScriptedPeer peer;
};

} // namespace

// Normal ends.

TEST_F(HttpGrabberTest, KnownLengthIsSavedWholeWithTheRequestAsked)
{
    std::string body = Body(5000);
    peer.ReadUntil("\r\n\r\n").Send(Response("HTTP/1.1 200 OK\r\nContent-Length: 5000", body)).Close();
    peer.Start();
    Aim(peer.Port());
    grabber.SetAgent("Mozilla/5.0 (test)");
    grabber.SetReferer("http://site/watch");
    recorder.Run();
    peer.Wait();

    EXPECT_EQ(recorder.events, (std::vector<std::string>{"done 5000", "closed"}));
    EXPECT_EQ(FileBytes(target), body);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"video.flv"});
    EXPECT_EQ(grabber.StatusCode(), "200");
    EXPECT_EQ(grabber.Size(), 5000);
    EXPECT_EQ(grabber.Status(), gsStopped);
    EXPECT_EQ(grabber.ContentStream(), nullptr);
    ASSERT_FALSE(recorder.positions.empty());
    EXPECT_EQ(recorder.positions.back(), 5000);
    EXPECT_EQ(recorder.totals.back(), 5000);

    std::string request = peer.Received();
    EXPECT_EQ(request.rfind("GET /get_video?video_id=x&t=y HTTP/1.1\r\n", 0), 0u) << request;
    for (const char* header : {"User-Agent: Mozilla/5.0 (test)\r\n", "Referer: http://site/watch\r\n",
                               "Pragma: no-cache\r\n", "Cache-Control: no-cache\r\n"})
        EXPECT_NE(request.find(header), std::string::npos) << header;
    EXPECT_EQ(request.find("Accept:"), std::string::npos);
    for (std::uint32_t status : {10u, 11u, 20u, 21u, 30u, 31u, 40u, 41u, 100u, 50u, 51u})
        EXPECT_TRUE(recorder.SawStatus(status)) << status;
}

TEST_F(HttpGrabberTest, UnknownLengthReadsUntilTheServerCloses)
{
    std::string body = Body(70000);
    peer.ReadUntil("\r\n\r\n").Send(Response("HTTP/1.0 200 OK", body)).Close();
    peer.Start();
    Aim(peer.Port());
    recorder.Run();

    EXPECT_EQ(recorder.events, (std::vector<std::string>{"done 70000", "closed"}));
    EXPECT_EQ(FileBytes(target), body);
    EXPECT_EQ(recorder.totals.back(), 0);
    EXPECT_EQ(recorder.positions.back(), 70000);
    // Positions only grow.
    EXPECT_TRUE(std::is_sorted(recorder.positions.begin(), recorder.positions.end()));
}

TEST_F(HttpGrabberTest, StreamModeHandsOverTheContentAndWritesNoFile)
{
    std::string body = Body(3000);
    peer.ReadUntil("\r\n\r\n").Send(Response("HTTP/1.0 200 OK\r\nContent-Length: 3000", body)).Close();
    peer.Start();
    Aim(peer.Port());
    grabber.SetOutputMode(omStream);
    recorder.Run();

    EXPECT_EQ(recorder.events, (std::vector<std::string>{"stream 3000", "closed"}));
    EXPECT_EQ(recorder.streamed, body);
    EXPECT_TRUE(folder.Names().empty());
}

TEST_F(HttpGrabberTest, DoneReplacesAnExistingFileWithExactlyTheServedBytes)
{
    WriteFile(target, std::string(10000, 'x'));
    std::string body = Body(1500);
    peer.ReadUntil("\r\n\r\n").Send(Response("HTTP/1.0 200 OK\r\nContent-Length: 1500", body)).Close();
    peer.Start();
    Aim(peer.Port());
    recorder.Run();

    EXPECT_EQ(recorder.events.front(), "done 1500");
    EXPECT_EQ(FileBytes(target), body);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"video.flv"});
}

TEST_F(HttpGrabberTest, SizesBeyondThirtyTwoBitsStayWhole)
{
    // The peer announces 3 000 000 000 bytes and sends ten: the total must
    // reach the handlers unclipped, and the run must fail as short.
    peer.ReadUntil("\r\n\r\n").Send(Response("HTTP/1.0 200 OK\r\nContent-Length: 3000000000", "0123456789")).Close();
    peer.Start();
    Aim(peer.Port());
    recorder.Run();

    ASSERT_FALSE(recorder.totals.empty());
    EXPECT_EQ(recorder.totals.back(), 3000000000LL);
    EXPECT_EQ(grabber.Size(), 3000000000LL);
    EXPECT_EQ(recorder.events,
              (std::vector<std::string>{"error Connection closed after 10 of 3000000000 bytes", "closed"}));
}

// Failures: an error, no done, the target untouched, no temporary file left.

struct FailureCase {
    const char* why;
    std::string response;
    std::string error;
};

void PrintTo(const FailureCase& c, std::ostream* out)
{
    *out << c.why;
}

class HttpFailureTest : public HttpGrabberTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(HttpFailureTest, EndsWithAnErrorAndLeavesTheTargetAlone)
{
    const FailureCase& c = GetParam();
    WriteFile(target, "old content");
    peer.ReadUntil("\r\n\r\n").Send(c.response).Close();
    peer.Start();
    Aim(peer.Port());
    recorder.Run();

    EXPECT_EQ(recorder.events, (std::vector<std::string>{"error " + c.error, "closed"})) << c.why;
    EXPECT_EQ(FileBytes(target), "old content") << c.why;
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"video.flv"}) << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, HttpFailureTest,
    testing::Values(
        FailureCase{"an error status is not the video",
                    Response("HTTP/1.0 404 Not Found\r\nContent-Length: 9", "not found"), "HTTP 404 Not Found"},
        FailureCase{"a body short of its length", Response("HTTP/1.0 200 OK\r\nContent-Length: 5000", Body(1200)),
                    "Connection closed after 1200 of 5000 bytes"},
        FailureCase{"a length that is not a number", Response("HTTP/1.0 200 OK\r\nContent-Length: lots", "x"),
                    "The server returned an invalid or unrecognized response: Invalid Content-Length: value"},
        // libcurl itself says "Out of memory" here.
        FailureCase{"a header line of a megabyte",
                    Response("HTTP/1.0 200 OK\r\nX-Big: " + std::string(1 << 20, 'a'), "x"),
                    "The server sent a header line that is too long"}));

// The server answers one request per connection and drops the next one
// without saying it would: libcurl then gives up with "Connection died,
// tried 5 times before giving up".
TEST_F(HttpGrabberTest, ARedirectLoopIsCalledOne)
{
    for (int i = 0; i < 30; ++i)
        peer.ReadUntil("\r\n\r\n")
            .Send(Response("HTTP/1.1 302 Found\r\nLocation: /loop\r\nContent-Length: 0", ""))
            .ReadUntil("\r\n\r\n")
            .Close()
            .Accept();
    peer.Start();
    Aim(peer.Port(), "loop");
    recorder.Run();
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"error The server redirected too many times", "closed"}));
}

TEST_F(HttpGrabberTest, ARefusedConnectionIsReportedWithItsReason)
{
    grabber.SetUrl("http://127.0.0.1:" + std::to_string(FreeLoopbackPort()) + "/x");
    recorder.Run();
    ASSERT_EQ(recorder.events.size(), 2u);
    EXPECT_NE(recorder.events[0].find("error "), std::string::npos);
    EXPECT_NE(recorder.events[0].find("onnect"), std::string::npos) << recorder.events[0];
    EXPECT_EQ(recorder.events[1], "closed");
    EXPECT_TRUE(folder.Names().empty());
}

TEST_F(HttpGrabberTest, AStalledServerTimesOut)
{
    ShortReceiveTimeout shortWait(200);
    peer.ReadUntil("\r\n\r\n").Send("HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n" + Body(100)).ReadUntilClosed();
    peer.Start();
    Aim(peer.Port());
    recorder.Run();

    ASSERT_EQ(recorder.events.size(), 2u);
    EXPECT_NE(recorder.events[0].find("timed out"), std::string::npos) << recorder.events[0];
    EXPECT_TRUE(folder.Names().empty());
}

// What arrived before a server stalls is told within a second, not when
// the stall ends: 2 MiB of 8 MiB, then nothing for two seconds.
TEST_F(HttpGrabberTest, WhatArrivedBeforeAStallIsToldWithinASecond)
{
    ShortReceiveTimeout stallTimeOut(10000);
    peer.ReadUntil("\r\n\r\n")
        .Send(Response("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(8 << 20), Body(2 << 20)))
        .Pause(std::chrono::milliseconds(2000))
        .Close();
    peer.Start();
    Aim(peer.Port());
    grabber.SetRetries(0);
    const auto started = std::chrono::steady_clock::now();
    grabber.Start();
    ASSERT_TRUE(
        recorder.ServeUntil([&] { return !recorder.positions.empty() && recorder.positions.back() == 2 << 20; }));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
    EXPECT_EQ(recorder.totals.back(), 8 << 20);
    EXPECT_TRUE(recorder.events.empty()) << "the stall still goes on";
    grabber.Stop();
}

TEST_F(HttpGrabberTest, StopDoesNotWaitForASilentServersTimeOut)
{
    // The server sends a little and then nothing; the receive time-out is the
    // default minute. Stop must end the run without sitting that out.
    peer.ReadUntil("\r\n\r\n").Send("HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n" + Body(100)).ReadUntilClosed();
    peer.stepTimeout = std::chrono::milliseconds(120000);
    peer.Start();
    Aim(peer.Port());
    grabber.Start();
    ASSERT_TRUE(recorder.ServeUntil([&] { return !recorder.positions.empty() && recorder.positions.back() > 0; }));
    // Nothing tells when the worker is back waiting on the silent socket;
    // serving hand-overs for a moment lets it get there.
    CheckSynchronize(300);

    auto asked = std::chrono::steady_clock::now();
    grabber.Stop();
    auto waited = std::chrono::steady_clock::now() - asked;

    EXPECT_LT(waited, std::chrono::seconds(30)) << "Stop sat out the receive time-out";
    EXPECT_EQ(grabber.Status(), gsStopped);
    EXPECT_FALSE(recorder.Saw("done"));
    EXPECT_FALSE(recorder.Saw("error"));
    EXPECT_TRUE(folder.Names().empty());
}

TEST_F(HttpGrabberTest, APortBeyondSixteenBitsIsRefused)
{
    grabber.SetUrl("http://127.0.0.1:70000/x");
    recorder.Run();
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"error Invalid port number 70000", "closed"}));
}

TEST_F(HttpGrabberTest, ATargetThatCannotBeWrittenIsAnError)
{
    // A folder in the way of the rename (never replaced), and a folder that
    // does not exist.
    std::filesystem::create_directory(target);
    const struct {
        std::string name;
        std::string error;
    } rows[] = {
        {target, "error " + target + " is not a file; only files are replaced"},
        {folder.File("missing/video.flv"), "error Cannot create file \"" + folder.File("missing/video.flv") + "\""},
    };
    for (const auto& [name, error] : rows) {
        ScriptedPeer server;
        server.ReadUntil("\r\n\r\n").Send(Response("HTTP/1.0 200 OK\r\nContent-Length: 3", "abc")).Close();
        server.Start();
        Aim(server.Port());
        grabber.SetFileName(name);
        recorder.events.clear();
        recorder.Run();
        ASSERT_EQ(recorder.events.size(), 2u) << name;
        EXPECT_EQ(recorder.events[0].rfind(error, 0), 0u) << recorder.events[0];
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"video.flv"}) << name;
    }
    EXPECT_TRUE(std::filesystem::is_directory(target));
}

// Ends asked for by the user.

TEST_F(HttpGrabberTest, AProgressHandlerThatEndsTheRunLeavesOnlyTheClosedEvent)
{
    // Clearing Continue asks the run to end; an exception does so by force
    // (it reaches the worker, which drops it).
    const std::function<void(bool&)> endings[] = {
        [](bool& Continue) { Continue = false; },
        [](bool&) { throw Exception("handler failed"); },
    };
    for (const auto& ending : endings) {
        ScriptedPeer server;
        server.ReadUntil("\r\n\r\n").Send(Response("HTTP/1.0 200 OK\r\nContent-Length: 50000", Body(50000))).Close();
        server.Start();
        Aim(server.Port());
        recorder.events.clear();
        recorder.onProgress = [&](std::int64_t position, bool& Continue) {
            if (position > 0)
                ending(Continue);
        };
        recorder.Run();

        EXPECT_EQ(recorder.events, std::vector<std::string>{"closed"});
        EXPECT_TRUE(folder.Names().empty());
    }
}

TEST_F(HttpGrabberTest, TheAddressIsLockedInEveryStatusOfARun)
{
    peer.ReadUntil("\r\n\r\n").Send(Response("HTTP/1.0 200 OK\r\nContent-Length: 5000", Body(5000))).Close();
    peer.Start();
    Aim(peer.Port());
    std::set<int> refusedIn;
    auto tryWrite = [&] {
        try {
            grabber.SetUrl("http://elsewhere/");
        } catch (const EGrabberNotStopped&) {
            refusedIn.insert(grabber.Status());
        }
    };
    recorder.onProgress = [&](std::int64_t, bool&) { tryWrite(); };
    grabber.OnDoneFile = [&](TObject*, const std::string&, std::int64_t, const std::string&) { tryWrite(); };
    recorder.Run();

    EXPECT_EQ(refusedIn, (std::set<int>{gsConnecting, gsGrabbing, gsStopping}));
    EXPECT_EQ(grabber.Url(), "http://127.0.0.1/get_video?video_id=x&t=y");
    grabber.SetUrl("http://elsewhere/"); // stopped again: allowed
}

// A real server.

class NginxGrabberTest : public HttpGrabberTest {
protected:
    void SetUp() override
    {
        HttpGrabberTest::SetUp();
        std::filesystem::create_directories(root.path);
        WriteFile(root.File("small.bin"), Body(100000));
        // A sparse file: large enough that a run is still going when the test
        // acts, cheap to create.
        std::filesystem::resize_file((WriteFile(root.File("large.bin"), ""), root.File("large.bin")), 256 << 20);
        nginx = std::make_unique<NginxServer>(root.path.string(), "location = /old { return 301 /small.bin; }");
    }

    void AimAt(const std::string& path) { grabber.SetUrl(nginx->BaseUrl() + path); }

    // Serves hand-overs until the body has started to arrive.
    void WaitForBody()
    {
        grabbing = false;
        recorder.onProgress = [this](std::int64_t position, bool&) { grabbing = grabbing || position > 0; };
        ASSERT_TRUE(recorder.ServeUntil([this] { return grabbing; }));
    }

    bool grabbing = false;

    ScratchFolder root;
    std::unique_ptr<NginxServer> nginx;
};

TEST_F(NginxGrabberTest, ARedirectIsFollowedAndReported)
{
    AimAt("/old");
    recorder.Run();
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"done 100000", "closed"}));
    EXPECT_TRUE(recorder.SawStatus(INTERNET_STATUS_REDIRECT));
    EXPECT_EQ(recorder.redirects, 1);
    EXPECT_EQ(FileBytes(target), Body(100000));
}

TEST_F(NginxGrabberTest, StopDuringATransferWaitsForTheWorkerAndLeavesNoFile)
{
    AimAt("/large.bin");
    grabber.Start();
    WaitForBody();
    grabber.Stop();

    EXPECT_EQ(grabber.Worker(), nullptr);
    EXPECT_EQ(grabber.Status(), gsStopped);
    EXPECT_EQ(recorder.events, std::vector<std::string>{"closed"});
    EXPECT_TRUE(folder.Names().empty());
}

TEST_F(NginxGrabberTest, DestructionDuringATransferStopsTheWorkerFirst)
{
    auto* doomed = new TJvHttpUrlGrabber;
    doomed->SetProxyMode(pmNoProxy);
    doomed->SetFileName(target);
    doomed->SetUrl(nginx->BaseUrl() + "/large.bin");
    bool grabbing = false;
    bool closed = false;
    doomed->OnProgress = [&](TObject*, std::int64_t position, std::int64_t, const std::string&, bool&) {
        grabbing = grabbing || position > 0;
    };
    doomed->OnConnectionClosed = [&](TObject*) { closed = true; };
    doomed->Start();
    ASSERT_TRUE(recorder.ServeUntil([&] { return grabbing; }));
    delete doomed;
    EXPECT_TRUE(closed);
    EXPECT_TRUE(folder.Names().empty());
}

TEST_F(NginxGrabberTest, DestructionRightAfterStartIsSafe)
{
    // The worker may still be reading the component's settings when the
    // component goes; the sanitizer build watches this one.
    for (int i = 0; i < 20; ++i) {
        TJvHttpUrlGrabber doomed;
        doomed.SetProxyMode(pmNoProxy);
        doomed.SetFileName(target);
        doomed.SetUrl(nginx->BaseUrl() + "/small.bin");
        doomed.Start();
    }
    EXPECT_TRUE(folder.Names().empty() || folder.Names() == std::vector<std::string>{"video.flv"});
}

TEST_F(NginxGrabberTest, StartingAgainStopsTheFirstRunBeforeTheNextBegins)
{
    AimAt("/large.bin");
    grabber.Start();
    WaitForBody();
    grabber.Start();
    EXPECT_EQ(recorder.runsClosed, 1); // the first run ended inside Start
    EXPECT_NE(grabber.Worker(), nullptr);
    WaitForBody();
    grabber.Stop();
    EXPECT_EQ(recorder.runsClosed, 2);
    EXPECT_FALSE(recorder.Saw("done"));
    EXPECT_TRUE(folder.Names().empty());
}

TEST_F(NginxGrabberTest, AManualProxyReceivesTheRequest)
{
    peer.ReadUntil("\r\n\r\n").Send(Response("HTTP/1.0 200 OK\r\nContent-Length: 2", "ok")).Close();
    peer.Start();
    grabber.SetProxyMode(pmManual);
    grabber.SetProxyAddresses("127.0.0.1:" + std::to_string(peer.Port()));
    grabber.SetProxyUserName("proxyuser");
    grabber.SetProxyPassword("proxypass");
    grabber.SetUrl("http://video.example/get_video?video_id=x");
    recorder.Run();
    peer.Wait();

    EXPECT_EQ(recorder.events, (std::vector<std::string>{"done 2", "closed"}));
    std::string request = peer.Received();
    EXPECT_EQ(request.rfind("GET http://video.example/get_video?video_id=x HTTP/1.1\r\n", 0), 0u) << request;
    EXPECT_NE(request.find("Proxy-Authorization: Basic "), std::string::npos) << request;
}

TEST_F(NginxGrabberTest, TheDesktopProxyEnvironmentIsHonoured)
{
    peer.ReadUntil("\r\n\r\n").Send(Response("HTTP/1.0 200 OK\r\nContent-Length: 2", "ok")).Close();
    peer.Start();
    std::string proxy = "http://127.0.0.1:" + std::to_string(peer.Port());
    ::setenv("http_proxy", proxy.c_str(), 1);
    grabber.SetProxyMode(pmSysConfig);
    grabber.SetUrl("http://video.example/clip");
    recorder.Run();
    ::unsetenv("http_proxy");
    peer.Wait();

    EXPECT_EQ(recorder.events, (std::vector<std::string>{"done 2", "closed"}));
    EXPECT_EQ(peer.Received().rfind("GET http://video.example/clip HTTP/1.1\r\n", 0), 0u) << peer.Received();
}

#include "GrabberRecorder.h"
#include "ShortReceiveTimeout.h"
#include "TestBytes.h"

#include "grabber/TGrabberPartFile.h"
#include "grabber/TJvHttpUrlGrabber.h"
#include "support/NginxServer.h"
#include "support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/mount.h>
#include <sys/stat.h>

// Downloads that meet a faltering server: each row of the table is what the
// server answers to each request in turn, and how the run must end.
namespace {

constexpr std::size_t kLength = 10000;
const std::string kBody = Body(kLength);

struct Answer {
    std::string bytes;
    bool stall = false; // sends its bytes, then nothing until the client gives up
    bool reset = false; // sends its bytes, then resets the connection
};

std::string Head(const std::string& status, const std::string& headers)
{
    return status + "\r\n" + headers + "\r\n";
}

// The whole content, cut after `upTo` bytes, from a server that can continue.
Answer Whole(std::size_t upTo = kLength, const std::string& etag = "\"v1\"", const std::string& body = kBody)
{
    std::string validator = etag.empty() ? "" : "ETag: " + etag + "\r\n";
    return {Head("HTTP/1.1 200 OK", "Content-Length: 10000\r\nAccept-Ranges: bytes\r\n" + validator) +
            body.substr(0, upTo)};
}

// The rest from `from`, cut after `upTo` bytes of the whole.
Answer Rest(std::size_t from, std::size_t upTo = kLength, const std::string& etag = "\"v1\"",
            const std::string& body = kBody)
{
    return {Head("HTTP/1.1 206 Partial Content",
                 "Content-Length: " + std::to_string(kLength - from) + "\r\nContent-Range: bytes " +
                     std::to_string(from) + "-9999/10000\r\nAccept-Ranges: bytes\r\nETag: " + etag + "\r\n") +
            body.substr(from, upTo - from)};
}

// A 206 that names the rest from `from` but carries the whole content,
// with or without a length that says so.
Answer WholeAsRest(std::size_t from, bool withLength)
{
    std::string length = withLength ? "Content-Length: 10000\r\n" : "Connection: close\r\n";
    return {Head("HTTP/1.1 206 Partial Content",
                 length + "Content-Range: bytes " + std::to_string(from) +
                     "-9999/10000\r\nAccept-Ranges: bytes\r\nETag: \"v1\"\r\n") +
            kBody};
}

// The head of the whole content, then a reset before any byte of it.
Answer ResetAfterHead()
{
    Answer answer = Whole(0);
    answer.reset = true;
    return answer;
}

Answer Status(const std::string& status, const std::string& headers = "")
{
    return {Head("HTTP/1.1 " + status, headers + "Content-Length: 0\r\n")};
}

Answer Stall(Answer answer)
{
    answer.stall = true;
    return answer;
}

struct ServerBehaviour {
    const char* why;
    std::vector<Answer> answers;
    std::string end;                 // the run's last event before "closed"
    std::vector<std::string> ranges; // the Range header of each request
    std::string saved;               // the target's bytes afterwards
    bool keepsPart = false;          // a failed run keeps what arrived
};

void PrintTo(const ServerBehaviour& row, std::ostream* out)
{
    *out << row.why;
}

const std::string kChanged = std::string(kLength, 'z');

const ServerBehaviour kBehaviours[] = {
    {"cuts twice, then serves: one run, two retries, the rest appended",
     {Whole(3000), Rest(3000, 6000), Rest(6000)},
     "done 10000",
     {"", "bytes=3000-", "bytes=6000-"},
     kBody},
    {"ignores the range: starts over", {Whole(4000), Whole()}, "done 10000", {"", "bytes=4000-"}, kBody},
    {"the content changed (another ETag): starts over with the new bytes",
     {Whole(4000), Whole(kLength, "\"v2\"", kChanged)},
     "done 10000",
     {"", "bytes=4000-"},
     kChanged},
    {"416: asks again for the whole at once",
     {Whole(4000), Status("416 Range Not Satisfiable"), Whole()},
     "done 10000",
     {"", "bytes=4000-", ""},
     kBody},
    {"a 206 for other bytes: asks again for the whole",
     {Whole(4000), Rest(5000), Whole()},
     "done 10000",
     {"", "bytes=4000-", ""},
     kBody},
    {"no validator: the part cannot be continued",
     {Whole(4000, ""), Whole(kLength, "")},
     "done 10000",
     {"", ""},
     kBody},
    {"a stall past the time-out is tried again",
     {Stall(Whole(2000)), Rest(2000)},
     "done 10000",
     {"", "bytes=2000-"},
     kBody},
    {"a server error passes",
     {Status("503 Service Unavailable"), Status("429 Too Many Requests"), Whole()},
     "done 10000",
     {"", "", ""},
     kBody},
    {"not found fails at once", {Status("404 Not Found")}, "error HTTP 404 Not Found", {""}, "old"},
    {"cuts every answer: fails after five retries",
     {Whole(1000), Rest(1000, 2000), Rest(2000, 3000), Rest(3000, 4000), Rest(4000, 5000), Rest(5000, 6000)},
     "error Connection closed after 6000 of 10000 bytes",
     {"", "bytes=1000-", "bytes=2000-", "bytes=3000-", "bytes=4000-", "bytes=5000-"},
     "old",
     true},
    // Servers and caches that ignore If-Range.
    {"a 206 of another version (another ETag): starts over with the new bytes",
     {Whole(4000), Rest(4000, kLength, "\"v2\"", kChanged), Whole(kLength, "\"v2\"", kChanged)},
     "done 10000",
     {"", "bytes=4000-", ""},
     kChanged},
    {"a 206 that announces the whole content as its length: starts over",
     {Whole(4000), WholeAsRest(4000, true), Whole()},
     "done 10000",
     {"", "bytes=4000-", ""},
     kBody},
    {"a 206 that sends more than its range: starts over",
     {Whole(4000), WholeAsRest(4000, false), Whole()},
     "done 10000",
     {"", "bytes=4000-", ""},
     kBody},
    {"resets after every head: nothing arrived, nothing is kept",
     {ResetAfterHead(), ResetAfterHead(), ResetAfterHead(), ResetAfterHead(), ResetAfterHead(), ResetAfterHead()},
     "error Connection closed after 0 of 10000 bytes",
     {"", "", "", "", "", ""},
     "old"},
};

std::string RangeOf(const std::string& request)
{
    std::size_t at = request.find("\r\nRange: ");
    if (at == std::string::npos)
        return "";
    at += 9;
    return request.substr(at, request.find("\r\n", at) - at);
}

class ContinueRetryTest : public testing::Test {
protected:
    void SetUp() override
    {
        SaveWithQuickRetries(grabber, target);
        grabber.OnRetry = [this](TObject*, int secondsLeft, int retry, int retries, const std::string&) {
            // The first notice of each wait says how long it lasts.
            if (retry != lastRetry)
                waits.push_back(std::to_string(secondsLeft) + "s " + std::to_string(retry) + "/" +
                                std::to_string(retries));
            lastRetry = retry;
            ++retryNotices;
        };
    }

    void Serve(const std::vector<Answer>& answers)
    {
        for (std::size_t i = 0; i < answers.size(); ++i) {
            if (i > 0)
                peer.Accept();
            peer.ReadUntil("\r\n\r\n").Send(answers[i].bytes);
            if (answers[i].stall)
                peer.ReadUntilClosed();
            else if (answers[i].reset)
                peer.Reset();
            else
                peer.Close();
        }
        peer.Start();
        grabber.SetUrl("http://127.0.0.1:" + std::to_string(peer.Port()) + "/video.mp4");
    }

    std::vector<std::string> Ranges() const
    {
        std::vector<std::string> ranges;
        for (int i = 0; i < peer.Connections(); ++i)
            ranges.push_back(RangeOf(peer.Received(i)));
        return ranges;
    }

    ShortReceiveTimeout receiveTimeout{300};
    ScratchFolder folder;
    std::string target = folder.File("video.mp4");
    TJvHttpUrlGrabber grabber;
    GrabberRecorder recorder{grabber};
    ScriptedPeer peer;
    std::vector<std::string> waits;
    int lastRetry = 0;
    int retryNotices = 0;
};

class ServerBehaviourTest : public ContinueRetryTest, public testing::WithParamInterface<ServerBehaviour> {};

} // namespace

TEST_P(ServerBehaviourTest, EndsWithExactlyTheServedBytesOrKeepsTheTargetAsItWas)
{
    const ServerBehaviour& row = GetParam();
    WriteFile(target, "old");
    Serve(row.answers);
    recorder.Run();
    peer.Wait();

    EXPECT_EQ(recorder.Outcome(), std::vector<std::string>{row.end});
    EXPECT_EQ(Ranges(), row.ranges);
    EXPECT_EQ(FileBytes(target), row.saved);
    for (int i = 0; i < peer.Connections(); ++i) {
        if (!RangeOf(peer.Received(i)).empty()) {
            EXPECT_NE(peer.Received(i).find("\r\nIf-Range: \"v1\"\r\n"), std::string::npos) << peer.Received(i);
        }
    }
    EXPECT_EQ(grabber.PartKept(), row.keepsPart);
    EXPECT_EQ(std::filesystem::exists(TGrabberPartFile::PartName(target)), row.keepsPart);
}

INSTANTIATE_TEST_SUITE_P(Table, ServerBehaviourTest, testing::ValuesIn(kBehaviours));

TEST_F(ContinueRetryTest, RetriesWaitLongerEachTimeAndAsLongAsTheServerAsks)
{
    Serve({Whole(1000), Status("503 Service Unavailable", "Retry-After: 3\r\n"), Status("503 Busy"),
           Status("503 Busy", "Retry-After: 600\r\n"), Whole()});
    recorder.Run();
    EXPECT_EQ(recorder.Outcome(), std::vector<std::string>{"done 10000"});
    // 1 s; the asked 3 s; 4 s; a minute at most, with a notice each second.
    EXPECT_EQ(waits, (std::vector<std::string>{"1s 1/5", "3s 2/5", "4s 3/5", "60s 4/5"}));
    EXPECT_EQ(retryNotices, 1 + 3 + 4 + 60);
}

TEST_F(ContinueRetryTest, StopKeepsAContinuablePartUntilItIsDiscarded)
{
    peer.ReadUntil("\r\n\r\n").Send(Whole(3000).bytes).ReadUntilClosed();
    Serve({});
    grabber.Start();
    ASSERT_TRUE(recorder.ServeUntil([&] { return grabber.BytesRead() == 3000; }));
    grabber.Stop();
    EXPECT_TRUE(grabber.PartKept());
    EXPECT_EQ(FileBytes(TGrabberPartFile::PartName(target)), kBody.substr(0, 3000));

    grabber.DiscardPart();
    EXPECT_TRUE(folder.Names().empty());
}

TEST_F(ContinueRetryTest, ASecondRunOnTheSameTargetIsRefusedAndTheFirstGoesOn)
{
    ShortReceiveTimeout::Set(10000);
    peer.ReadUntil("\r\n\r\n")
        .Send(Whole(3000).bytes)
        .Pause(std::chrono::milliseconds(500))
        .Send(kBody.substr(3000))
        .Close();
    Serve({});
    grabber.Start();
    ASSERT_TRUE(recorder.ServeUntil([&] { return !recorder.positions.empty() && recorder.positions.back() > 0; }));

    TJvHttpUrlGrabber second;
    GrabberRecorder secondRecorder(second);
    second.SetProxyMode(pmNoProxy);
    second.SetFileName(target);
    second.SetResumeMode(rmContinue);
    second.SetUrl(grabber.Url());
    second.SetPort(peer.Port());
    secondRecorder.Run();
    EXPECT_EQ(secondRecorder.events,
              (std::vector<std::string>{"error Another download is saving to \"" + target + "\"", "closed"}));

    grabber.Worker()->WaitFor();
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"done 10000", "closed"}));
    EXPECT_EQ(FileBytes(target), kBody);
}

TEST_F(ContinueRetryTest, AFullDiskFailsAtOnceAndLeavesNeitherPartNorTarget)
{
    std::string small = folder.File("small");
    std::filesystem::create_directory(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=4k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root): " << std::strerror(errno);
    struct Unmount {
        std::string path;
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount{small};

    std::string big = Body(1 << 20);
    peer.ReadUntil("\r\n\r\n")
        .Send(Head("HTTP/1.1 200 OK",
                   "Content-Length: 1048576\r\nAccept-Ranges: bytes\r\n"
                   "ETag: \"v1\"\r\n") +
              big)
        .Close();
    Serve({});
    grabber.SetFileName(small + "/video.mp4");
    recorder.Run();

    EXPECT_EQ(recorder.events,
              (std::vector<std::string>{
                  "error There is not enough space on the disk to save \"" + small + "/video.mp4\"", "closed"}));
    EXPECT_TRUE(std::filesystem::is_empty(small));
    EXPECT_FALSE(grabber.PartKept());
}

TEST_F(ContinueRetryTest, StartingOverIgnoresAPartItFinds)
{
    grabber.SetRetries(0);
    Serve({Whole(4000), Whole()});
    recorder.Run();
    ASSERT_TRUE(grabber.PartKept());
    grabber.SetResumeMode(rmStartOver);
    recorder.Run();
    peer.Wait();
    EXPECT_EQ(Ranges(), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(FileBytes(target), kBody);
}

TEST_F(ContinueRetryTest, AServerThatRefusesFromTheStartFailsAtOnce)
{
    grabber.SetUrl("http://127.0.0.1:" + std::to_string(FreeLoopbackPort()) + "/video.mp4");
    recorder.Run();
    EXPECT_EQ(recorder.Outcome().size(), 1u);
    EXPECT_EQ(retryNotices, 0);
    EXPECT_TRUE(folder.Names().empty());
}

TEST_F(ContinueRetryTest, StopDuringARetryWaitEndsAtOnce)
{
    grabber.SetRetrySecond(std::chrono::minutes(1));
    Serve({Whole(1000)});
    grabber.Start();
    ASSERT_TRUE(recorder.ServeUntil([&] { return retryNotices > 0; }));
    auto asked = std::chrono::steady_clock::now();
    grabber.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(30)) << "Stop sat out the wait";
    EXPECT_TRUE(recorder.Outcome().empty());
    EXPECT_TRUE(grabber.PartKept());
}

// A target name as long as the file system allows: the part and its record
// take names that fit, and the part is continued under them.
TEST_F(ContinueRetryTest, ATargetNameAsLongAsAllowedIsContinuedUnderPartNamesThatFit)
{
    target = folder.File(std::string(246, 'n') + ".mp4");
    grabber.SetFileName(target);
    Serve({Whole(4000), Rest(4000)});
    recorder.Run();
    EXPECT_EQ(recorder.Outcome(), std::vector<std::string>{"done 10000"});
    EXPECT_EQ(Ranges(), (std::vector<std::string>{"", "bytes=4000-"}));
    EXPECT_EQ(FileBytes(target), kBody);
    for (const std::string& name : {TGrabberPartFile::PartName(target), TGrabberPartFile::RecordName(target)})
        EXPECT_LE(std::filesystem::path(name).filename().string().size(), 255u) << name;
}

// A device, a fifo or a socket at the target is never replaced by a file.
TEST_F(ContinueRetryTest, AnythingButAFileAtTheTargetStaysAsItIs)
{
    ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
    Serve({Whole()});
    recorder.Run();
    EXPECT_EQ(recorder.Outcome(),
              std::vector<std::string>{"error " + target + " is not a file; only files are replaced"});
    EXPECT_TRUE(std::filesystem::is_fifo(target));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"video.mp4"});
}

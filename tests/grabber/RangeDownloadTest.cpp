#include "GrabberRecorder.h"
#include "TestBytes.h"

#include "grabber/HeldBytes.h"
#include "grabber/TGrabberPartFile.h"
#include "grabber/TJvHttpUrlGrabber.h"
#include "support/NginxServer.h"
#include "support/RangePeer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

// Large files fetched in ranges over several connections at once.
namespace {

// Above the size that is fetched on one connection: four ranges of 5 MiB.
constexpr std::size_t kLength = std::size_t(20) << 20;
constexpr std::size_t kRange = kLength / 4;

const std::string& Video()
{
    static const std::string bytes = RandomBody(kLength);
    return bytes;
}

// The Range header of each nginx log line ("" for none, which nginx logs
// as "-"); see NginxServer.
std::vector<std::string> RangesLogged(const std::vector<std::string>& lines)
{
    std::vector<std::string> ranges;
    for (const std::string& line : lines) {
        const std::size_t end = line.rfind("\" ");
        const std::size_t start = line.rfind(" \"", end - 1) + 2;
        const std::string range = line.substr(start, end - start);
        ranges.push_back(range == "-" ? "" : range);
    }
    return ranges;
}

int StatusLogged(const std::string& line)
{
    const std::size_t request = line.find("\" ");
    return std::stoi(line.substr(request + 2, 3));
}

class RangeDownloadTest : public testing::Test {
protected:
    void SetUp() override
    {
        grabber.SetProxyMode(pmNoProxy);
        grabber.SetFileName(target);
        grabber.SetResumeMode(rmContinue);
    }

    void Serve(const std::string& serverConfig, const std::string& httpConfig = "")
    {
        WriteFile(root.File("video.mp4"), Video());
        nginx = std::make_unique<NginxServer>(root.path.string(), serverConfig, std::vector<NginxTlsListener>{},
                                              httpConfig);
        grabber.SetUrl(nginx->BaseUrl() + "/video.mp4");
    }

    void Aim(const RangePeer& peer)
    {
        grabber.SetUrl("http://127.0.0.1:" + std::to_string(peer.Port()) + "/video.mp4");
    }

    const std::vector<std::string> kDone{"done " + std::to_string(kLength)};
    ScratchFolder folder;
    ScratchFolder root{"range-root"};
    std::string target = folder.File("video.mp4");
    TJvHttpUrlGrabber grabber;
    GrabberRecorder recorder{grabber};
    std::unique_ptr<NginxServer> nginx;
};

} // namespace

// What the part holds, by its record.

TEST(HeldBytes, TheRecordSaysWhichBytesThePartHolds)
{
    const struct {
        const char* why;
        std::vector<std::string> lines;
        std::int64_t partSize;
        std::vector<TByteSpan> held;
        std::vector<TByteSpan> missing;
    } rows[] = {
        {"no held line: what one connection wrote, from the start", {}, 300, {{0, 300}}, {{300, 1000}}},
        {"spans that touch or overlap are one",
         {"held 0 100", "held 100 200", "held 150 300", "held 500 600"},
         1000,
         {{0, 300}, {500, 600}},
         {{300, 500}, {600, 1000}}},
        {"nothing is held past the part's end or the length",
         {"held 900 5000"},
         950,
         {{900, 950}},
         {{0, 900}, {950, 1000}}},
        // A line that cannot be read is left out: its bytes are fetched again.
        {"unreadable lines",
         {"held 10", "held x 20", "held 30 20", "held -1 5", "held 40 50 60"},
         1000,
         {},
         {{0, 1000}}},
    };
    for (const auto& row : rows) {
        TPartRecord record{"http://h/v.mp4", "\"v1\"", 1000, row.lines};
        THeldBytes held = HeldByRecord(record, row.partSize);
        EXPECT_EQ(held.Spans(), row.held) << row.why;
        EXPECT_EQ(held.Missing(1000), row.missing) << row.why;
    }
}

// Exact bytes, on one connection or four.

TEST_F(RangeDownloadTest, OneConnectionAsksForTheWholeFileOnce)
{
    Serve("");
    grabber.SetConnections(1);
    recorder.Run();
    EXPECT_EQ(recorder.Outcome(), kDone);
    EXPECT_EQ(FileBytes(target), Video());
    EXPECT_EQ(RangesLogged(nginx->LogLinesFor("/video.mp4")), std::vector<std::string>{""});
}

TEST_F(RangeDownloadTest, FourConnectionsFetchFourRangesBesideTheFirstAnswer)
{
    Serve("");
    recorder.Run();
    EXPECT_EQ(recorder.Outcome(), kDone);
    EXPECT_EQ(FileBytes(target), Video());
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"video.mp4"}) << "no part, no record";
    std::vector<std::string> ranges = RangesLogged(nginx->LogLinesFor("/video.mp4", 4));
    EXPECT_EQ(std::count(ranges.begin(), ranges.end(), ""), 1) << "the first answer";
    for (std::size_t range = 1; range < 4; ++range) {
        const std::string asked = "bytes=" + std::to_string(range * kRange) + "-";
        EXPECT_TRUE(std::any_of(ranges.begin(), ranges.end(), [&](const std::string& r) {
            return r.rfind(asked, 0) == 0;
        })) << asked;
    }
}

// Servers that falter.

TEST_F(RangeDownloadTest, AServerThatAnswers503ToTheSecondConnectionStillGivesTheWholeFile)
{
    Serve("location / { limit_conn perclient 1; limit_conn_status 503; limit_rate 40m; }",
          "limit_conn_zone $binary_remote_addr zone=perclient:1m;");
    recorder.Run();
    EXPECT_EQ(recorder.Outcome(), kDone);
    EXPECT_EQ(FileBytes(target), Video());
    std::vector<int> statuses;
    for (const std::string& line : nginx->LogLinesFor("/video.mp4", 4))
        statuses.push_back(StatusLogged(line));
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), 200), 1) << "the first connection brought it all";
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), 503), 3);
}

TEST_F(RangeDownloadTest, ARangeCutShortIsTakenUpWhereItStopped)
{
    RangePeer peer({{Video(), "\"v1\""}});
    peer.CutRangeAt(kRange, 1 << 20);
    Aim(peer);
    recorder.Run();
    EXPECT_EQ(recorder.Outcome(), kDone);
    EXPECT_EQ(FileBytes(target), Video());
    const std::vector<std::string> ranges = peer.Ranges();
    const std::string rest = "bytes=" + std::to_string(kRange + (1 << 20)) + "-";
    EXPECT_TRUE(std::any_of(ranges.begin(), ranges.end(), [&](const std::string& r) { return r.rfind(rest, 0) == 0; }))
        << "the rest of the cut range, from its first missing byte";
    const std::vector<std::string> ifRanges = peer.IfRanges();
    for (std::size_t i = 0; i < ranges.size(); ++i)
        EXPECT_EQ(ifRanges[i], ranges[i].empty() ? "" : "\"v1\"") << "every range names the content";
}

TEST_F(RangeDownloadTest, AContentThatChangesUnderTheRangesIsFetchedAnewWhole)
{
    const std::string changed = RandomBody(kLength, 2);
    RangePeer peer({{Video(), "\"v1\""}, {changed, "\"v2\""}});
    peer.ServeNextVersionFrom(1);
    Aim(peer);
    recorder.Run();
    EXPECT_EQ(recorder.Outcome(), kDone);
    EXPECT_EQ(FileBytes(target), changed);
    const std::vector<std::string> ranges = peer.Ranges();
    EXPECT_EQ(std::count(ranges.begin(), ranges.end(), ""), 2) << "the first answer, and the whole anew";
    EXPECT_EQ(ranges.back(), "") << "once changed, on one connection";
}

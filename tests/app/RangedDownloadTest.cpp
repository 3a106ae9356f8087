#include "ProgramRun.h"
#include "app/CommandLine.h"
#include "support/FolderWatch.h"
#include "support/NginxServer.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

// The built program saving a large file in four ranges from a server that
// holds each connection to a rate, interrupted and run again.
namespace {

constexpr std::int64_t kLength = std::int64_t(20) << 20;
constexpr std::int64_t kRange = kLength / 4;

std::string RandomBytes(std::size_t size)
{
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    return bytes;
}

// The spans of the record's "held FROM TO" lines, as written.
std::vector<std::pair<std::int64_t, std::int64_t>> HeldLines(const std::string& record)
{
    std::vector<std::pair<std::int64_t, std::int64_t>> spans;
    std::istringstream lines(record);
    for (std::string word; lines >> word;) {
        std::int64_t from = 0, to = 0;
        if (word == "held" && lines >> from >> to)
            spans.emplace_back(from, to);
    }
    return spans;
}

// Where the gaps between the held spans begin.
std::vector<std::int64_t> GapStarts(const std::string& record)
{
    std::vector<std::pair<std::int64_t, std::int64_t>> spans = HeldLines(record);
    std::sort(spans.begin(), spans.end());
    std::vector<std::int64_t> starts;
    std::int64_t at = 0;
    for (const auto& [from, to] : spans) {
        if (from > at)
            starts.push_back(at);
        at = std::max(at, to);
    }
    if (at < kLength)
        starts.push_back(at);
    return starts;
}

// The Range header of an nginx log line ("-" for none); see NginxServer.
std::string RangeLogged(const std::string& line)
{
    const std::size_t end = line.rfind("\" ");
    const std::size_t start = line.rfind(" \"", end - 1) + 2;
    return line.substr(start, end - start);
}

} // namespace

TEST(CommandLineRanges, CtrlCKeepsEveryRangeAndTheSameCommandContinuesEach)
{
    ScratchFolder root{"cli-ranges-site"}, folder{"cli-ranges"}, outputs{"cli-ranges-output"};
    const std::string video = RandomBytes(static_cast<std::size_t>(kLength));
    std::ofstream(root.File("video.mp4"), std::ios::binary) << video;
    NginxServer nginx(root.path.string(), "location / { limit_rate 1m; }");
    const std::vector<std::string> command{"--download", nginx.BaseUrl() + "/video.mp4"};
    const std::string record = folder.File("video.mp4.part.info");

    const pid_t first = SpawnProgram("127.0.0.1:1", command, folder.path.string(), outputs.File("first.txt"));
    // Each range writes down what it received within a second of its start.
    auto everyRangeRecorded = [&] {
        std::set<std::int64_t> begun;
        for (const auto& [from, to] : HeldLines(FileBytes(record)))
            if (from % kRange == 0)
                begun.insert(from);
        return begun.size() == 4;
    };
    ASSERT_TRUE(WaitForFolder(folder.path.string(), everyRangeRecorded, std::chrono::seconds(30)));
    ::kill(first, SIGINT);
    ASSERT_EQ(ExitStatus(first), esCancelled);
    const std::vector<std::int64_t> gaps = GapStarts(FileBytes(record));
    ASSERT_EQ(gaps.size(), 4u) << "each range kept what it received:\n" << FileBytes(record);
    const std::size_t firstRun = nginx.LogLinesFor("/video.mp4", 4).size();

    const pid_t second = SpawnProgram("127.0.0.1:1", command, folder.path.string(), outputs.File("second.txt"));
    ASSERT_EQ(ExitStatus(second), esSuccess) << FileBytes(outputs.File("second.txt"));
    EXPECT_EQ(FileBytes(folder.File("video.mp4")), video);
    std::vector<std::string> ranges;
    for (const std::string& line : nginx.LogLinesFor("/video.mp4", firstRun + 4))
        ranges.push_back(RangeLogged(line));
    ranges.erase(ranges.begin(), ranges.begin() + static_cast<std::ptrdiff_t>(firstRun));
    EXPECT_EQ(std::count(ranges.begin(), ranges.end(), "-"), 0) << "nothing is asked for again from the start";
    for (std::int64_t gap : gaps) {
        const std::string asked = "bytes=" + std::to_string(gap) + "-";
        EXPECT_TRUE(std::any_of(ranges.begin(), ranges.end(), [&](const std::string& r) {
            return r.rfind(asked, 0) == 0;
        })) << asked;
    }
}

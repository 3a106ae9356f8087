#include "ProgramRun.h"
#include "app/CommandLine.h"
#include "support/CuttingSite.h"
#include "support/NginxServer.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

// The command line against servers that fail it: what is received survives,
// and running the same command again continues it.
namespace fs = std::filesystem;

namespace {

std::string Video(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 31 + i / 4096) % 251);
    return bytes;
}

// The site's two pages for a video, as nginx serves them; the stream is the
// file videos/ID.mp4, sent slowly for an ID that begins with "slow".
const char* const kSiteOnNginx = R"(
location = /watch { return 200 "<html>a video</html>"; }
location = /get_video_info {
  return 200 "status=ok&token=tok&title=$arg_video_id&fmt_map=18%2F512000%2F9%2F0%2F115&video_id=$arg_video_id";
}
location = /get_video {
  set $rate 0;
  if ($arg_video_id ~ ^slow) { set $rate 512k; }
  limit_rate $rate;
  rewrite ^ /videos/$arg_video_id.mp4 break;
}
)";

class ContinuingDownload : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ::setenv("SKERROW_RETRY_SECOND_MS", "1", 1); }

    static std::string WatchAddress(const std::string& host, const std::string& id)
    {
        return "http://" + host + "/watch?v=" + id;
    }

    int Run(const std::string& host, std::vector<std::string> words)
    {
        return ExitStatus(SpawnProgram(host, std::move(words), folder.path, output));
    }

    std::string Output() const { return FileBytes(output); }

    ScratchFolder folder{"continue"};
    ScratchFolder logs{"continue-output"};
    std::string output = logs.File("output.txt");
};

// nginx log lines of the stream requests.
std::vector<std::string> StreamLog(const NginxServer& nginx)
{
    std::vector<std::string> lines;
    std::istringstream log(nginx.AccessLog());
    for (std::string line; std::getline(log, line);)
        if (line.find("/get_video?") != std::string::npos)
            lines.push_back(line);
    return lines;
}

} // namespace

TEST_F(ContinuingDownload, AFailureKeepsThePartAndTheSameCommandContinuesWithRangeAndIfRange)
{
    const std::string body = Video(60000);
    CuttingSite site(body);
    // The first run: every answer is cut after 5000 bytes.
    site.Pages("cut");
    for (std::size_t from = 0; from < 30000; from += 5000)
        site.Stream(from, from + 5000);
    // The same command again, when the server serves whole answers.
    site.Pages("cut").Stream(30000, 60000);
    site.Start();
    std::string host = site.Host();
    ScriptedPeer& peer = site.peer;

    EXPECT_EQ(Run(host, {"--download", WatchAddress(host, "cut")}), esDownloadFailed);
    std::string said = Output();
    EXPECT_NE(said.find("skerrow: Retrying in 1 s (1 of 5): Connection closed after 5000 of 60000 bytes"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("skerrow: Retrying in 16 s (5 of 5)"), std::string::npos) << said;
    EXPECT_NE(said.find("run the same command again to continue"), std::string::npos) << said;
    EXPECT_EQ(FileBytes(folder.File("cut.part")), body.substr(0, 30000));

    EXPECT_EQ(Run(host, {"--download", WatchAddress(host, "cut")}), esSuccess) << Output();
    peer.Wait();
    EXPECT_NE(Output().find("Continuing at 29 KB of 59 KB"), std::string::npos) << Output();
    EXPECT_EQ(FileBytes(folder.File("cut")), body);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"cut"});
    std::string last = peer.Received(peer.Connections() - 1);
    EXPECT_NE(last.find("\r\nRange: bytes=30000-\r\n"), std::string::npos) << last;
    EXPECT_NE(last.find("\r\nIf-Range: \"e1\"\r\n"), std::string::npos) << last;
}

class ContinuingFromNginx : public ContinuingDownload {
protected:
    void SetUp() override
    {
        fs::create_directories(root.path / "videos");
        std::ofstream(root.File("videos/slowclip.mp4"), std::ios::binary) << Video(2 << 20);
        std::ofstream(root.File("videos/clip.mp4"), std::ios::binary) << Video(300000);
        nginx = std::make_unique<NginxServer>(root.path.string(), kSiteOnNginx);
        host = "127.0.0.1:" + std::to_string(nginx->Port());
    }

    ScratchFolder root{"continue-root"};
    std::unique_ptr<NginxServer> nginx;
    std::string host;
};

TEST_F(ContinuingFromNginx, CtrlCKeepsThePartAndTheSameCommandFetchesOnlyTheRest)
{
    const std::string part = folder.File("slowclip.mp4.part");
    pid_t pid = SpawnProgram(host, {"--download", WatchAddress(host, "slowclip")}, folder.path, output);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    auto held = [&] {
        std::error_code missing;
        std::uintmax_t size = fs::file_size(part, missing);
        return missing ? 0 : size;
    };
    // Nothing announces the part's growth; look at it in short steps.
    while (held() < (2 << 20) * 4 / 10 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::kill(pid, SIGINT);
    ASSERT_EQ(ExitStatus(pid), esCancelled) << Output();
    EXPECT_NE(Output().find("run the same command again to continue"), std::string::npos) << Output();
    std::uintmax_t kept = fs::file_size(part);
    ASSERT_GT(kept, 0u);

    EXPECT_EQ(Run(host, {"--download", WatchAddress(host, "slowclip")}), esSuccess) << Output();
    EXPECT_EQ(FileBytes(folder.File("slowclip.mp4")), Video(2 << 20));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"slowclip.mp4"});
    std::vector<std::string> log = StreamLog(*nginx);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_NE(log[1].find(" 206 "), std::string::npos) << log[1];
    EXPECT_NE(log[1].find(" \"bytes=" + std::to_string(kept) + "-\" " + std::to_string((2 << 20) - kept)),
              std::string::npos)
        << log[1];
}

TEST_F(ContinuingFromNginx, AnExistingFileIsReplacedOnlyWithForce)
{
    std::ofstream(folder.File("clip.mp4")) << "mine";
    EXPECT_EQ(Run(host, {"--download", WatchAddress(host, "clip")}), esTargetExists);
    EXPECT_NE(Output().find("clip.mp4 already exists; --force replaces it"), std::string::npos) << Output();
    EXPECT_EQ(FileBytes(folder.File("clip.mp4")), "mine");

    EXPECT_EQ(Run(host, {"--download", WatchAddress(host, "clip"), "--force"}), esSuccess) << Output();
    EXPECT_EQ(FileBytes(folder.File("clip.mp4")), Video(300000));
}

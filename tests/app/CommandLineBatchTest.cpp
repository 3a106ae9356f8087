// The built program saving several addresses, capping its rate and going
// through proxies.
#include "ProgramRun.h"
#include "app/CommandLine.h"
#include "support/DemoSiteSuite.h"
#include "support/ForwardProxy.h"
#include "support/NginxServer.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

class CommandLineBatch : public DemoSiteSuite {
protected:
    int Run(std::vector<std::string> words, std::string* output = nullptr)
    {
        return RunProgram(site->Host(), std::move(words), folder.path, output);
    }

    ScratchFolder folder{"batch"};
    ScratchFolder saved{"batch-saved"};
    ScratchFolder logs{"batch-logs"};
};

TEST_F(CommandLineBatch, ABatchFileSavesEachAddressAndEndsWithTheFirstFailuresStatus)
{
    std::ofstream(folder.File("list.txt")) << "# three videos\n"
                                           << site->WatchAddress("seastack01") << "\n\n"
                                           << site->WatchAddress("missing000") << "\r\n"
                                           << "  " << site->FileAddress("harbour-walk.mp4") << "\n";
    std::string output;
    EXPECT_EQ(Run({"--batch-file", "list.txt", "-o", saved.path.string()}, &output), esResolutionFailed);
    EXPECT_EQ(FileBytes(saved.File("Sea stacks at dawn.mp4")), DemoSite::StreamBytes("seastack01", "18", 3 * 1048576));
    EXPECT_EQ(fs::file_size(saved.File("harbour-walk.mp4")), 5u * 1048576 / 2);
    EXPECT_EQ(saved.Names().size(), 2u);
    for (const std::string& line :
         {"[1/3] " + site->WatchAddress("seastack01") + "\n", "[3/3] " + site->FileAddress("harbour-walk.mp4") + "\n",
          std::string("2 of 3 saved\n")})
        EXPECT_NE(output.find(line), std::string::npos) << line << output;

    // Standard input, after the addresses of --download; all saved.
    const std::string command = "cd '" + folder.path.string() + "' && echo '" + site->FileAddress("harbour-walk.mp4") +
        "' | " SKERROW_BINARY " --site-host=" + site->Host() + " -d " + site->WatchAddress("rockroll33") +
        " --batch-file - -o more >output.txt 2>&1";
    fs::create_directory(folder.path / "more");
    int status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), esSuccess) << FileBytes(folder.File("output.txt"));
    EXPECT_NE(FileBytes(folder.File("output.txt")).find("[2/2] " + site->FileAddress("harbour-walk.mp4")),
              std::string::npos);
    EXPECT_EQ(fs::file_size(folder.path / "more/harbour-walk.mp4"), 5u * 1048576 / 2);
}

TEST_F(CommandLineBatch, SeveralAddressesNeedAnExistingFolder)
{
    std::string output;
    EXPECT_EQ(Run({"-d", site->WatchAddress("seastack01"), site->WatchAddress("rockroll33"), "-o", "new.mp4"}, &output),
              esBadArguments);
    EXPECT_NE(output.find("with several addresses, --output must be an existing folder: new.mp4"), std::string::npos)
        << output;
    EXPECT_TRUE(folder.Names().empty());
}

TEST_F(CommandLineBatch, CtrlCStopsTheBatch)
{
    const std::string file = logs.File("output.txt");
    pid_t pid = SpawnProgram(site->Host(), {"-d", site->WatchAddress("slowtide77"), site->WatchAddress("rockroll33")},
                             folder.path, file);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fs::exists(folder.File("Slow tide.mp4.part")) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::kill(pid, SIGINT);
    EXPECT_EQ(ExitStatus(pid), esCancelled);
    const std::string output = FileBytes(file);
    EXPECT_EQ(output.find("[2/2]"), std::string::npos) << output;
    EXPECT_NE(output.find("0 of 2 saved"), std::string::npos) << output;
    // The current download ends as a single one does: the slow stream
    // cannot be continued, so nothing of it stays.
    EXPECT_TRUE(folder.Names().empty());
}

// The program against nginx, straight or through tinyproxy.
class CommandLineNetwork : public testing::Test {
protected:
    static constexpr std::size_t kClipSize = 4 * 1024 * 1024;

    static void SetUpTestSuite()
    {
        root_ = new ScratchFolder("network-site");
        std::ofstream(root_->File("clip.mp4"), std::ios::binary) << std::string(kClipSize, 'v');
        std::ofstream(root_->File("page.html"))
            << "<html><head><title>Harbour lights</title></head><body><video src=\"/clip.mp4\"></video></body></html>";
        nginx_ = new NginxServer(root_->path.string());
    }
    static void TearDownTestSuite()
    {
        delete nginx_;
        delete root_;
    }

    // Runs the program in an empty folder, with only the proxy variables
    // given.
    int Run(std::vector<std::string> words, TProgramEnvironment environment = {})
    {
        fs::remove_all(folder.path);
        fs::create_directories(folder.path);
        for (const char* name :
             {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"})
            environment.emplace(environment.begin(), name, "");
        return RunProgram("127.0.0.1:1", std::move(words), folder.path, nullptr, environment);
    }

    static ScratchFolder* root_;
    static NginxServer* nginx_;
    ScratchFolder folder{"network"};
};

ScratchFolder* CommandLineNetwork::root_ = nullptr;
NginxServer* CommandLineNetwork::nginx_ = nullptr;

TEST_F(CommandLineNetwork, ARateCapSlowsTheDownloadDown)
{
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(Run({"-d", nginx_->BaseUrl() + "/clip.mp4", "--limit-rate", "1M"}), esSuccess);
    // 4 MB at 1 MB a second; without the cap it takes a moment.
    EXPECT_GT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
    EXPECT_EQ(fs::file_size(folder.File("clip.mp4")), kClipSize);
}

// The page and its video go through the proxy the environment or --proxy
// names, unless no_proxy names the host or --proxy '' turns proxies off.
TEST_F(CommandLineNetwork, ThePageAndTheVideoGoThroughTheProxyTheEnvironmentOrTheOptionNames)
{
    ForwardProxy proxy;
    const std::string dead = "http://127.0.0.1:1";
    const struct {
        TProgramEnvironment environment;
        std::vector<std::string> words;
        bool proxied;
    } rows[] = {
        {{{"http_proxy", proxy.Address()}}, {}, true},
        {{{"ALL_PROXY", proxy.Address()}}, {}, true},
        {{{"http_proxy", dead}, {"no_proxy", "localhost,127.0.0.1"}}, {}, false},
        {{{"http_proxy", dead}}, {"--proxy", ""}, false},
        {{{"http_proxy", dead}}, {"--proxy", proxy.Address()}, true},
        {{{"NO_PROXY", "127.0.0.0/8"}}, {"--proxy", dead}, false}, // as curl's --proxy
    };
    const std::string page = nginx_->BaseUrl() + "/page.html";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.environment.front().first + (row.words.empty() ? "" : " --proxy " + row.words.back()));
        const std::size_t before = proxy.Requests().size();
        std::vector<std::string> words{"-d", page};
        words.insert(words.end(), row.words.begin(), row.words.end());
        ASSERT_EQ(Run(words, row.environment), esSuccess);
        EXPECT_EQ(fs::file_size(folder.File("Harbour lights.mp4")), kClipSize);
        std::vector<std::string> requests = proxy.Requests();
        requests.erase(requests.begin(), requests.begin() + static_cast<std::ptrdiff_t>(before));
        if (row.proxied)
            EXPECT_EQ(requests,
                      (std::vector<std::string>{"GET " + page + " HTTP/1.1",
                                                "GET " + nginx_->BaseUrl() + "/clip.mp4 HTTP/1.1"}));
        else
            EXPECT_TRUE(requests.empty());
    }
}

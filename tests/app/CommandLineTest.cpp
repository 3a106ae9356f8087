#include "app/CommandLine.h"
#include "ProgramRun.h"
#include "app/ProgressLine.h"
#include "support/DemoSiteSuite.h"
#include "support/LocalPort.h"
#include "support/NginxServer.h"
#include "support/ScratchFolder.h"
#include "support/ScriptedPeer.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Runs the built program in folder on an address, with LANG set: its exit
// status and what it wrote to standard error.
std::pair<int, std::string> DownloadInLanguage(const ScratchFolder& folder, const std::string& language,
                                               const std::string& address)
{
    std::string command = "cd '" + folder.path.string() + "' && LANG=" + language +
        " LC_ALL= " SKERROW_BINARY " --download " + address + " 2>errors.txt";
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, FileBytes(folder.File("errors.txt"))};
}

} // namespace

TEST(CommandLineText, SpeaksTheUsersLanguageAndExplainsAMissingDisplay)
{
    ScratchFolder folder{"cli-text"};
    auto output = [&](const std::string& command) {
        std::string file = folder.File("output");
        int status = std::system((command + " >'" + file + "' 2>&1").c_str());
        return std::make_pair(WEXITSTATUS(status), FileBytes(file));
    };
    const std::string program = SKERROW_BINARY;
    auto [helpStatus, help] = output("LANG=es_ES.UTF-8 " + program + " --help");
    EXPECT_EQ(helpStatus, esSuccess);
    EXPECT_EQ(help.rfind("Uso: skerrow -d ", 0), 0u) << help;
    auto [argumentStatus, argument] = output("LANG=es_ES.UTF-8 " + program + " --download");
    EXPECT_EQ(argumentStatus, esBadArguments);
    EXPECT_NE(argument.find("Pruebe 'skerrow --help'."), std::string::npos) << argument;

    auto [status, message] =
        output("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + program + " \"http://h/watch?v=it's\"");
    EXPECT_EQ(status, esBadArguments);
    EXPECT_NE(message.find("skerrow --download 'http://h/watch?v=it'\\''s'"), std::string::npos) << message;
}

TEST(ProgressLine, SaysSizeReceivedPercentRateAndTimeLeft)
{
    EXPECT_EQ(TProgressLine::Text(1048576, 4194304, 2.0), "1.0 MB of 4.0 MB (25%) at 512 KB/s, 0:06 left");
    EXPECT_EQ(TProgressLine::Text(2048, 0, 1.0), "2 KB at 2 KB/s") << "no length: no percent, no time left";
    EXPECT_EQ(TProgressLine::Text(10, 100, 0.0), "10 bytes of 100 bytes (10%)") << "no rate before time passes";
}

// The built program against the demo site.
class CommandLine : public DemoSiteSuite {
protected:
    // What facts.json says a rendition's decoded video or sound is.
    std::string DecodedMd5Of(const std::string& playlist, const char* track)
    {
        static const nlohmann::json facts = nlohmann::json::parse(FileBytes(site->StreamFactsFile()));
        return facts["streams"][playlist][track]["md5"];
    }

    pid_t Spawn(std::vector<std::string> words) { return SpawnProgram(site->Host(), std::move(words), folder.path); }

    int Run(std::vector<std::string> words) { return ExitStatus(Spawn(std::move(words))); }

    ScratchFolder folder{"cli"};
};

TEST_F(CommandLine, SavesTheExactBytesUnderTheProposedName)
{
    ASSERT_EQ(Run({"--download", site->WatchAddress("rockroll33"), "--quality", "hd"}), esSuccess);
    EXPECT_EQ(FileBytes(folder.File("Rock _ Roll_ Live_.mp4")), DemoSite::StreamBytes("rockroll33", "22", 1048576));

    ASSERT_EQ(Run({"--download", site->WatchAddress("plainflv44"), "--output", folder.File("chosen.bin")}), esSuccess);
    EXPECT_EQ(fs::file_size(folder.File("chosen.bin")), 700u * 1024);
}

TEST_F(CommandLine, SavesOverHttpsFromAWatchPageAndFromADirectLink)
{
    ASSERT_EQ(Run({"--download", site->SecureWatchAddress("seastack01")}), esSuccess);
    EXPECT_EQ(FileBytes(folder.File("Sea stacks at dawn.mp4")), DemoSite::StreamBytes("seastack01", "18", 3 * 1048576));

    ASSERT_EQ(Run({"--download", site->FileAddress("harbour-walk.mp4")}), esSuccess);
    EXPECT_EQ(fs::file_size(folder.File("harbour-walk.mp4")), 5u * 1048576 / 2);
    EXPECT_EQ(Run({"--download", site->FileAddress("landing.mp4")}), esDownloadFailed);
    EXPECT_FALSE(fs::exists(folder.File("landing.mp4")));
}

TEST_F(CommandLine, SavesTheVideoAnOrdinaryPageShowsUnderItsTitle)
{
    ASSERT_EQ(Run({"--download", site->PageAddress("talk.html")}), esSuccess);
    EXPECT_EQ(FileBytes(folder.File("Keynote_ Sea stacks _ the tide.mp4")),
              DemoSite::StreamBytes("seastack01", "22", 3 * 1048576));
    // The smallest of four sizes; an address that answers with the video
    // itself is named after its path.
    ASSERT_EQ(Run({"--download", site->PageAddress("gallery.html"), "--quality", "mobile"}), esSuccess);
    EXPECT_EQ(FileBytes(folder.File("Rock pools_ in four sizes.mp4")),
              DemoSite::StreamBytes("rockroll33", "17", 1048576));
    ASSERT_EQ(Run({"--download", "https://" + site->Host() + "/play?file=harbour-walk.mp4"}), esSuccess);
    EXPECT_EQ(fs::file_size(folder.File("play.mp4")), 5u * 1048576 / 2);
}

// A stream in pieces, from a playlist's address, is saved as one file that
// decodes to the chosen rendition's frames and sound.
TEST_F(CommandLine, SavesAStreamInPiecesInTheQualityAsked)
{
    ASSERT_EQ(Run({"--download", site->StreamAddress("hls/master.m3u8"), "--quality", "hd"}), esSuccess);
    EXPECT_EQ(DemoSite::DecodedVideoMd5(folder.File("master.mp4")), DecodedMd5Of("hls/v720/index.m3u8", "video"));
    EXPECT_EQ(DemoSite::DecodedAudioMd5(folder.File("master.mp4")), DecodedMd5Of("hls/audio-en/index.m3u8", "audio"));
    ASSERT_EQ(Run({"--download", site->StreamAddress("dash/manifest.mpd"), "--quality", "mobile"}), esSuccess);
    EXPECT_EQ(DemoSite::DecodedVideoMd5(folder.File("manifest.mp4")), DecodedMd5Of("hls/v180/index.m3u8", "video"));
}

// The joiner is a module the program loads for streams alone: a copy of the
// program without it still saves files, and says plainly why it cannot
// join a stream.
TEST_F(CommandLine, WithoutItsMediaModuleTheProgramSavesFilesAndNamesWhatIsMissing)
{
    const fs::path program = folder.path / "bin" / "skerrow";
    fs::create_directories(program.parent_path());
    fs::copy_file(SKERROW_BINARY, program);
    auto run = [&](const std::string& address) {
        const std::string command = "cd '" + folder.path.string() + "' && LANG=C.UTF-8 LC_ALL= '" + program.string() +
            "' --no-history --download '" + address + "' >output.txt 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    ASSERT_EQ(run(site->FileAddress("harbour-walk.mp4")), esSuccess);
    EXPECT_EQ(fs::file_size(folder.File("harbour-walk.mp4")), 5u * 1048576 / 2);

    EXPECT_EQ(run(site->StreamAddress("hls-single/index.m3u8")), esDownloadFailed);
    const std::string output = FileBytes(folder.File("output.txt"));
    EXPECT_NE(output.find("The part of Skerrow that joins the pieces of a stream cannot be loaded ("),
              std::string::npos)
        << output;
    EXPECT_FALSE(fs::exists(folder.File("index.mp4")));
}

// Ctrl-C keeps the pieces stored; the same command again goes on from them.
TEST_F(CommandLine, AnInterruptedStreamGoesOnWhereItStopped)
{
    // Every answer takes a second: the interrupt comes while pieces are on
    // their way and others are stored.
    const std::string address = site->StreamAddress("hls-discontinuity/index.m3u8?delay=1000&run=cli-continue");
    const std::string target = folder.File("index.mp4");
    const std::string part = target + ".part";
    pid_t pid = Spawn({"--download", address});
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!(fs::exists(part) && fs::file_size(part) > 0) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(fs::exists(part)) << "no piece was stored";
    ::kill(pid, SIGINT);
    ASSERT_EQ(ExitStatus(pid), esCancelled);
    ASSERT_TRUE(fs::exists(part));

    const std::string output = folder.File("second.txt");
    ASSERT_EQ(ExitStatus(SpawnProgram(site->Host(), {"--download", address}, folder.path, output)), esSuccess);
    EXPECT_NE(FileBytes(output).find("Continuing at"), std::string::npos) << FileBytes(output);
    EXPECT_EQ(DemoSite::DecodedVideoMd5(target), DecodedMd5Of("hls-discontinuity/index.m3u8", "video"));
    EXPECT_FALSE(fs::exists(part));
}

TEST_F(CommandLine, EachFailureClassHasItsStatus)
{
    EXPECT_EQ(Run({"--download", site->WatchAddress("seastack01"), "--quality", "ultra"}), esBadArguments);
    EXPECT_EQ(Run({"--download", "example.org/watch?v=1"}), esNotAccepted);
    EXPECT_EQ(Run({"--download", site->WatchAddress("missing000")}), esResolutionFailed);
    EXPECT_EQ(Run({"--download", site->WatchAddress("notoken099")}), esResolutionFailed);
    EXPECT_EQ(Run({"--download", site->PageAddress("on-air.html")}), esResolutionFailed);  // live
    EXPECT_EQ(Run({"--download", site->PageAddress("members.html")}), esResolutionFailed); // DRM
    EXPECT_EQ(Run({"--download", site->StreamAddress("dash-drm/manifest.mpd")}), esResolutionFailed);
    EXPECT_EQ(Run({"--download", site->PageAddress("about.html")}), esResolutionFailed); // no video
    EXPECT_EQ(Run({"--download", site->WatchAddress("cutshort88")}), esDownloadFailed);
    EXPECT_TRUE(folder.Names().empty()) << "a failed download leaves no file";
}

TEST_F(CommandLine, EveryWayOfAskingToEndCancelsAndLeavesNoPartialFile)
{
    for (int signalNumber : {SIGINT, SIGHUP, SIGQUIT, SIGTERM}) {
        pid_t pid = Spawn({"--download", site->WatchAddress("slowtide77")});
        // Interrupt once the transfer has begun: its temporary file exists.
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (folder.Names().empty() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_FALSE(folder.Names().empty()) << "the download never started";
        ::kill(pid, signalNumber);
        EXPECT_EQ(ExitStatus(pid), esCancelled) << signalNumber;
        EXPECT_TRUE(folder.Names().empty()) << signalNumber;
    }
}

TEST_F(CommandLine, ControlCharactersAreNeverPrintedRawButLineBreaksBreakLines)
{
    const struct {
        const char* argument; // as printf writes it
        const char* printed;
    } rows[] = {
        {"a\\033[2Jb", "a\\x1B[2Jb"}, // an escape sequence that would clear the screen
        {"a\\r\\nb\\nc", "a\nb\nc"},  // line breaks, with or without a carriage return
        {"a\\rb", "a\\x0Db"},         // a carriage return of its own overwrites the line
    };
    for (const auto& row : rows) {
        std::string command = "cd '" + folder.path.string() + "' && " SKERROW_BINARY " --download \"$(printf '" +
            row.argument + "')\" 2>errors.txt";
        int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), esNotAccepted);
        const std::string errors = FileBytes(folder.File("errors.txt"));
        EXPECT_NE(errors.find(std::string(": ") + row.printed + "\n"), std::string::npos) << errors;
    }
}

// Redirects that lead nowhere a video can come from are named as such, in
// the user's language.
TEST(CommandLineFailure, ARedirectThatCannotBeFollowedSaysWhy)
{
    ScratchFolder folder{"cli-redirects"};
    const std::string loop = "HTTP/1.1 302 Found\r\nLocation: /page.html\r\nContent-Length: 0\r\n\r\n";
    const std::string ftp = "HTTP/1.1 302 Found\r\nLocation: ftp://127.0.0.1/clip.mp4\r\nContent-Length: 0\r\n\r\n";
    const struct {
        const char* language;
        std::vector<std::string> replies;
        std::string said;
    } rows[] = {
        {"C.UTF-8", std::vector<std::string>(15, loop), "skerrow: The page redirects too often\n"},
        {"es_ES.UTF-8", std::vector<std::string>(15, loop), "skerrow: La p\xc3\xa1gina redirige demasiadas veces\n"},
        {"C.UTF-8", {ftp}, "skerrow: The page redirects to an address that is neither http nor https (ftp:)\n"},
        {"es_ES.UTF-8",
         {ftp},
         "skerrow: La p\xc3\xa1gina redirige a una direcci\xc3\xb3n que no es http ni https (ftp:)\n"},
    };
    for (const auto& row : rows) {
        ScriptedPeer peer;
        for (const std::string& reply : row.replies)
            peer.ReadUntil("\r\n\r\n").Send(reply);
        peer.Start();
        const std::string address = "http://127.0.0.1:" + std::to_string(peer.Port()) + "/page.html";
        EXPECT_EQ(DownloadInLanguage(folder, row.language, address), std::make_pair(int(esResolutionFailed), row.said));
    }
}

// A page that cannot be reached is said to be so in the program's words,
// in the user's language.
TEST(CommandLineFailure, AnUnreachablePageIsNamedInPlainWords)
{
    ScratchFolder folder{"cli-unreachable"};
    LocalPort closed;
    const std::string peer = "127.0.0.1:" + std::to_string(closed.Port());
    const struct {
        const char* language;
        std::string said;
    } rows[] = {
        {"C.UTF-8", "skerrow: Could not connect to " + peer + ": connection refused.\n"},
        {"es_ES.UTF-8", "skerrow: No se pudo conectar con " + peer + ": conexi\xc3\xb3n rechazada.\n"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(DownloadInLanguage(folder, row.language, "http://" + peer + "/talk.html"),
                  std::make_pair(int(esResolutionFailed), row.said));
}

// Without windows there is no message box: the engine's complaint about a
// catalogue without UTF-8 goes to standard error and the run goes on.
TEST_F(CommandLine, ACatalogueWithoutUtf8IsReportedOnStandardError)
{
    fs::create_directories(folder.path / "bin/locale/de/LC_MESSAGES");
    fs::copy_file(SKERROW_BINARY, folder.path / "bin/skerrow");
    fs::permissions(folder.path / "bin/skerrow", fs::perms::owner_exec, fs::perm_options::add);
    std::ofstream(folder.File("latin.po"))
        << "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n";
    std::string mo = (folder.path / "bin/locale/de/LC_MESSAGES/default.mo").string();
    ASSERT_EQ(std::system(("msgfmt -o '" + mo + "' '" + folder.File("latin.po") + "'").c_str()), 0);

    std::string command = "cd '" + folder.path.string() +
        "' && LANG=de_DE.UTF-8 LC_ALL= bin/skerrow --download "
        "example.org/watch?v=1 2>errors.txt";
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << "the program died";
    EXPECT_EQ(WEXITSTATUS(status), esNotAccepted);
    const std::string errors = FileBytes(folder.File("errors.txt"));
    EXPECT_NE(errors.find("Localization problem"), std::string::npos) << errors;
}

// The built program against a plain server of the test's own, on IPv4 and
// IPv6 loopback: a direct link and a page that shows it.
class CommandLineLocal : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        root_ = new ScratchFolder("cli-site");
        std::ofstream(root_->File("clip.mp4"), std::ios::binary) << Clip();
        std::ofstream(root_->File("page.html"))
            << "<html><head><title>Harbour lights</title></head><body><video src=\"/clip.mp4\"></video></body></html>";
        nginx_ = new NginxServer(root_->path.string(), "listen [::1]:@PLAIN_PORT@;");
    }
    static void TearDownTestSuite()
    {
        delete nginx_;
        delete root_;
    }

    static std::string Clip()
    {
        std::string bytes(300000, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(i * 31 + i / 997);
        return bytes;
    }
    std::string Address(const std::string& host, const std::string& path) const
    {
        return "http://" + host + ":" + std::to_string(nginx_->Port()) + path;
    }
    int Run(std::vector<std::string> words, std::string* output = nullptr)
    {
        return RunProgram("127.0.0.1:1", std::move(words), folder.path, output);
    }

    static ScratchFolder* root_;
    static NginxServer* nginx_;
    ScratchFolder folder{"cli-local"};
    ScratchFolder outputs{"cli-output"};
};

ScratchFolder* CommandLineLocal::root_ = nullptr;
NginxServer* CommandLineLocal::nginx_ = nullptr;

TEST_F(CommandLineLocal, AnIPv6LiteralWorksForADirectLinkAPageAndItsVideo)
{
    ASSERT_EQ(Run({"--download", Address("[::1]", "/clip.mp4")}), esSuccess);
    EXPECT_EQ(FileBytes(folder.File("clip.mp4")), Clip());
    ASSERT_EQ(Run({"--download", Address("[::1]", "/page.html")}), esSuccess);
    EXPECT_EQ(FileBytes(folder.File("Harbour lights.mp4")), Clip());
}

TEST_F(CommandLineLocal, OnlyAFileIsReplacedWithForceOrWithout)
{
    const std::string fifo = folder.File("fifo.mp4");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (bool force : {false, true}) {
        std::vector<std::string> words{"--download", Address("127.0.0.1", "/clip.mp4"), "--output", fifo};
        if (force)
            words.push_back("--force");
        std::string output;
        EXPECT_EQ(Run(words, &output), esTargetExists) << force;
        EXPECT_NE(output.find("is not a file; only files are replaced"), std::string::npos) << output;
        EXPECT_TRUE(fs::is_fifo(fifo)) << force;
    }
}

TEST_F(CommandLineLocal, ASecondDownloadToATargetInUseIsRefusedWithoutAProgressLine)
{
    int part = ::open(folder.File("clip.mp4.part").c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(::flock(part, LOCK_EX), 0);
    std::string output;
    EXPECT_EQ(Run({"--download", Address("127.0.0.1", "/clip.mp4")}, &output), esDownloadFailed);
    ::close(part);
    EXPECT_NE(output.find("Another download is saving to"), std::string::npos) << output;
    EXPECT_EQ(output.find("bytes"), std::string::npos) << output;
}

// A signal while a page is being looked up ends the program as Ctrl-C does.
TEST_F(CommandLineLocal, EveryWayOfAskingToEndCancelsTheLookupToo)
{
    for (int signalNumber : {SIGINT, SIGHUP, SIGQUIT, SIGTERM}) {
        ScriptedPeer silentPage;
        silentPage.ReadUntil("\r\n\r\n").ReadUntilClosed();
        silentPage.Start();
        const std::string file = outputs.File("output.txt");
        std::filesystem::remove(file);
        pid_t pid = SpawnProgram("127.0.0.1:1",
                                 {"--download", "http://127.0.0.1:" + std::to_string(silentPage.Port()) + "/talk.html"},
                                 folder.path, file);
        // Once the page is asked for, the lookup waits for its answer.
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (silentPage.Received().empty() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_FALSE(silentPage.Received().empty()) << "the lookup never asked for the page";
        ::kill(pid, signalNumber);
        EXPECT_EQ(ExitStatus(pid), esCancelled) << signalNumber;
        EXPECT_NE(FileBytes(file).find("Cancelled"), std::string::npos) << signalNumber;
    }
}

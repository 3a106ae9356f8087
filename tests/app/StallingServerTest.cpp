#include "ProgramRun.h"
#include "app/CommandLine.h"
#include "app/TForm2.h"
#include "grabber/internet/InternetApi.h"
#include "history/TDownloadHistory.h"
#include "i18n/GnuGettext.h"
#include "support/RunEventsUntil.h"
#include "support/ScratchFolder.h"
#include "support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

#include <chrono>
#include <thread>

// A server that sends 2 MiB of an 8 MiB video and then nothing: what arrived
// is shown within a second, and after a while the rate line says the
// download waits for the server and how long it will still wait.
namespace {

using namespace std::chrono_literals;

constexpr std::int64_t kSent = 2 << 20;
constexpr std::int64_t kWhole = 8 << 20;

void PlayStall(ScriptedPeer& peer, std::chrono::milliseconds pause)
{
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: video/mp4\r\nContent-Length: " + std::to_string(kWhole) +
        "\r\nConnection: close\r\n\r\n";
    peer.ReadUntil("\r\n\r\n").Send(head + std::string(static_cast<std::size_t>(kSent), 'v')).Pause(pause).Close();
    peer.stepTimeout = 30s;
    peer.Start();
}

// The layer's stall time-out, lowered for the window's test as the
// grabber's tests lower it.
struct StallTimeOut {
    explicit StallTimeOut(std::uint32_t ms) { Set(ms); }
    ~StallTimeOut() { Set(60000); }
    static void Set(std::uint32_t ms) { InternetSetOption(nullptr, INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof ms); }
};

} // namespace

TEST(StallingServer, TheWindowShowsWhatArrivedAtOnceAndThenTheWait)
{
    ScratchFolder folder{"stall-window"};
    ScriptedPeer peer;
    PlayStall(peer, 8s);
    StallTimeOut stallTimeOut(9000);
    TVideoSource video{*TWebAddress::Parse("http://127.0.0.1:" + std::to_string(peer.Port()) + "/stall.mp4"),
                       "Stalling", "stall.mp4"};
    TDownloadHistory history(folder.File("history.sqlite3"));
    auto* window = new TForm2(nullptr, video, folder.File("stall.mp4"), history, TDownloadRecord{});

    const auto started = std::chrono::steady_clock::now();
    // The title carries the percentage of what arrived; the bar glides to it.
    ASSERT_TRUE(RunEventsUntil([&] { return window->windowTitle() == "25% Stalling"; }, 5000));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
    EXPECT_TRUE(window->lblTransfer->text().startsWith("2.0 MB (")) << window->lblTransfer->text().toStdString();
    // The downloads window reads the history, which hears of it as soon.
    const auto received = [&] { return history.Find(window->HistoryId())->Received; };
    EXPECT_TRUE(RunEventsUntil([&] { return received() == kSent; }, 5000));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);

    ASSERT_TRUE(RunEventsUntil([&] { return window->lblTransfer->text().startsWith("Waiting"); }, 8000));
    const QRegularExpression waiting("^Waiting for the server \\(gives up in ([0-9]+) s\\)$");
    const QRegularExpressionMatch shown = waiting.match(window->lblTransfer->text());
    ASSERT_TRUE(shown.hasMatch()) << window->lblTransfer->text().toStdString();
    EXPECT_GE(shown.captured(1).toInt(), 2) << "nine seconds less the five it waited";
    EXPECT_LE(shown.captured(1).toInt(), 4);
    SelectLanguage("es");
    const bool spanish = RunEventsUntil(
        [&] { return window->lblTransfer->text().startsWith("Esperando al servidor (se abandona en "); }, 3000);
    SelectLanguage("en");
    EXPECT_TRUE(spanish) << window->lblTransfer->text().toStdString();
    window->btnCancelClose->click();
    delete window;
}

TEST(StallingServer, TheCommandLinePrintsWhatArrivedAtOnceAndThenTheWait)
{
    ScratchFolder folder{"stall-command"};
    ScratchFolder logs{"stall-command-output"};
    ScriptedPeer peer;
    PlayStall(peer, 7s);
    const std::string address = "http://127.0.0.1:" + std::to_string(peer.Port()) + "/stall.mp4";
    const std::string output = logs.File("output.txt");
    const auto started = std::chrono::steady_clock::now();
    const pid_t run =
        SpawnProgram("127.0.0.1:1", {"--download", address, "--no-history"}, folder.path.string(), output);
    auto printed = [&](const std::string& text) { return FileBytes(output).find(text) != std::string::npos; };
    while (!printed("2.0 MB of 8.0 MB (25%)") && std::chrono::steady_clock::now() - started < 5s)
        std::this_thread::sleep_for(20ms);
    // The program starts, connects and reads 2 MiB in a fraction of this.
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2s) << FileBytes(output);
    while (!printed("Waiting for the server") && std::chrono::steady_clock::now() - started < 10s)
        std::this_thread::sleep_for(100ms);
    ::kill(run, SIGINT);
    EXPECT_EQ(ExitStatus(run), esCancelled);
    EXPECT_NE(FileBytes(output).find("2.0 MB of 8.0 MB (25%) - Waiting for the server (gives up in 5"),
              std::string::npos)
        << FileBytes(output);
}

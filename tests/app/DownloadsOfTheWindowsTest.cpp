#include "ProgramRun.h"
#include "app/CommandLine.h"
#include "app/Site.h"
#include "app/TForm1.h"
#include "app/TForm2.h"
#include "app/TFormDownloads.h"
#include "framework/LauncherEntry.h"
#include "framework/MessageBox.h"
#include "framework/TSaveDialog.h"
#include "history/HistoryFiles.h"
#include "history/TDownloadHistory.h"
#include "support/CuttingSite.h"
#include "support/DemoSiteSuite.h"
#include "support/LauncherDock.h"
#include "support/PrivateSessionBus.h"
#include "support/RunEventsUntil.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>

// The downloads window over real downloads: those of the download windows
// and those of the command line, written into the history as they run.
namespace {

enum TColumn { colTitle, colFile, colSize, colState };

// A stand-in of the desktop's dock: what the launcher entry's signals said.
class TDock : public QObject {
    Q_OBJECT

public:
    struct TShown {
        qint64 count;
        double progress;
    };
    std::vector<TShown> shown;

public slots:
    void Update(const QString&, const QVariantMap& properties)
    {
        shown.push_back({properties.value("count").toLongLong(), properties.value("progress").toDouble()});
    }
};

class DownloadsOfTheWindows : public DemoSiteSuite {
protected:
    void SetUp() override
    {
        Site::SetHost(site->Host());
        previousBox = SetMessageBoxSeam([this](const TMessageBoxRequest& box) { messages.push_back(box.Text); });
        previousDialog = SetSaveDialogSeam([this](const TSaveDialogRequest& request) -> std::optional<std::string> {
            return folder.File(request.FileName);
        });
        form = std::make_unique<TForm1>();
    }
    void TearDown() override
    {
        form.reset();
        SetMessageBoxSeam(previousBox);
        SetSaveDialogSeam(previousDialog);
        Site::SetHost("www.youtube.com");
    }

    TForm2* Start(const std::string& address)
    {
        const int before = form->findChildren<TForm2*>().size();
        form->Edit1->setText(QString::fromStdString(address));
        form->btnDownload->click();
        RunEventsUntil([&] { return form->findChildren<TForm2*>().size() > before; }, 20000);
        const auto windows = form->findChildren<TForm2*>();
        return windows.size() > before ? windows.last() : nullptr;
    }
    TFormDownloads& Downloads()
    {
        form->ShowDownloads();
        return *form->Downloads();
    }
    QString Cell(int row, int column) { return Downloads().lvDownloads->topLevelItem(row)->text(column); }
    bool Shows(int row, int column, const std::function<bool(const QString&)>& wanted, int milliseconds = 20000)
    {
        return RunEventsUntil(
            [&] { return Downloads().lvDownloads->topLevelItemCount() > row && wanted(Cell(row, column)); },
            milliseconds);
    }
    bool ShowsState(int row, const QString& state, int milliseconds = 20000)
    {
        return Shows(
            row, colState, [&](const QString& shown) { return shown == state; }, milliseconds);
    }

    ScratchFolder folder{"downloads-live"};
    std::unique_ptr<TForm1> form;
    std::vector<std::string> messages;
    TMessageBoxSeam previousBox;
    TSaveDialogSeam previousDialog;
};

} // namespace

TEST_F(DownloadsOfTheWindows, ARowFollowsTheDownloadItsWindowRunsAndRemoveKeepsTheFile)
{
    QPointer<TForm2> window = Start(site->WatchAddress("slowtide77"));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(ShowsState(0, "Downloading...", 5000) ||
                Shows(0, colState, [](const QString& state) { return state.startsWith("Downloading"); }));
    EXPECT_TRUE(Shows(0, colState, [](const QString& state) {
        return state.startsWith("Downloading ") && state != "Downloading 0%" && state != "Downloading 100%";
    })) << "a running row moves with its download";
    EXPECT_EQ(Cell(0, colTitle), "Slow tide");
    EXPECT_EQ(Cell(0, colFile), "Slow tide.mp4");
    EXPECT_TRUE(Cell(0, colSize).endsWith(" of 2.0 MB")) << Cell(0, colSize).toStdString();
    ASSERT_TRUE(ShowsState(0, "Finished"));
    EXPECT_EQ(Cell(0, colSize), "2.0 MB");

    const std::optional<TDownloadRecord> row = Downloads().Rows().front();
    EXPECT_EQ(row->Address, site->WatchAddress("slowtide77"));
    EXPECT_EQ(row->Quality, "hq");
    EXPECT_EQ(row->File, folder.File("Slow tide.mp4"));
    Downloads().Choose(row->Id);
    ASSERT_TRUE(Downloads().btnRemove->isEnabled());
    Downloads().btnRemove->click();
    EXPECT_EQ(Downloads().lvDownloads->topLevelItemCount(), 0);
    EXPECT_EQ(std::filesystem::file_size(folder.File("Slow tide.mp4")), 2u << 20) << "the file stays";
    EXPECT_TRUE(messages.empty());
}

TEST_F(DownloadsOfTheWindows, CancellingAndClosingAreWrittenAsTheyHappen)
{
    QPointer<TForm2> window = Start(site->WatchAddress("slowtide77"));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(Shows(0, colState, [](const QString& state) { return state.startsWith("Downloading"); }));
    window->btnCancelClose->click();
    EXPECT_TRUE(ShowsState(0, "Cancelled"));

    window = Start(site->WatchAddress("slowtide77"));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(Shows(0, colState, [](const QString& state) { return state.startsWith("Downloading"); }));
    delete window.data();
    EXPECT_TRUE(ShowsState(0, "Cancelled")) << "a window closed while it ran gave its download up";
    EXPECT_EQ(Downloads().lvDownloads->topLevelItemCount(), 2);
}

// The command line writes its downloads into the same history; Retry in the
// window looks a download of it up again and continues the part it kept.
TEST_F(DownloadsOfTheWindows, RetryContinuesWhatTheCommandLineKept)
{
    const std::string video = DemoSite::StreamBytes("rockroll33", "18", 60000);
    CuttingSite cutting(video);
    cutting.Pages("cut");
    for (std::size_t from = 0; from < 30000; from += 5000)
        cutting.Stream(from, from + 5000);
    cutting.Pages("cut").Stream(30000, 60000);
    cutting.Start();
    Site::SetHost(cutting.Host());

    ScratchFolder logs{"downloads-live-output"};
    const std::string address = cutting.WatchAddress("cut");
    const pid_t run = SpawnProgram(cutting.Host(), {"--download", address, "--quality", "hd"}, folder.path.string(),
                                   logs.File("output.txt"));
    ASSERT_EQ(ExitStatus(run), esDownloadFailed) << FileBytes(logs.File("output.txt"));
    ASSERT_TRUE(ShowsState(0, "Waiting for Retry"));
    EXPECT_EQ(Cell(0, colFile), "cut");
    EXPECT_EQ(Downloads().Rows().front().Quality, "hd");
    EXPECT_EQ(Downloads().Rows().front().File, folder.File("cut"));

    Downloads().Choose(Downloads().Rows().front().Id);
    ASSERT_TRUE(Downloads().btnRetry->isEnabled());
    Downloads().btnRetry->click();
    ASSERT_TRUE(ShowsState(0, "Finished"));
    EXPECT_EQ(Downloads().lvDownloads->topLevelItemCount(), 1) << "the same row, run again";
    EXPECT_EQ(FileBytes(folder.File("cut")), video);
    EXPECT_FALSE(std::filesystem::exists(folder.File("cut.part")));
    cutting.peer.Wait();
    const std::string last = cutting.peer.Received(cutting.peer.Connections() - 1);
    EXPECT_NE(last.find("\r\nRange: bytes=30000-\r\n"), std::string::npos) << last;
}

TEST_F(DownloadsOfTheWindows, NoHistoryLeavesTheCommandLinesDownloadOut)
{
    const pid_t run = SpawnProgram(site->Host(), {"--download", site->WatchAddress("rockroll33"), "--no-history"},
                                   folder.path.string());
    ASSERT_EQ(ExitStatus(run), esSuccess);
    EXPECT_FALSE(folder.Names().empty());
    Downloads().Refresh();
    EXPECT_EQ(Downloads().lvDownloads->topLevelItemCount(), 0);
}

TEST_F(DownloadsOfTheWindows, TheCommandLineSetsADamagedHistoryAsideAndStillDownloads)
{
    const std::string path = DefaultHistoryPath();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << std::string(4096, 'x');
    ScratchFolder logs{"downloads-live-output"};
    const pid_t run = SpawnProgram(site->Host(), {"--download", site->WatchAddress("rockroll33")}, folder.path.string(),
                                   logs.File("output.txt"));
    ASSERT_EQ(ExitStatus(run), esSuccess) << FileBytes(logs.File("output.txt"));
    EXPECT_NE(FileBytes(logs.File("output.txt"))
                  .find("skerrow: The download history was damaged. It was put aside as " + path + ".damaged-"),
              std::string::npos)
        << FileBytes(logs.File("output.txt"));
    EXPECT_TRUE(ShowsState(0, "Finished")) << "a new history took the download";
}

// The launcher entry follows real downloads: their count and joint
// progress while they run, cleared when none does.
TEST_F(DownloadsOfTheWindows, TheLauncherEntryShowsTheRunningDownloads)
{
    PrivateSessionBus bus;
    ASSERT_FALSE(bus.Address().empty()) << "dbus-daemon did not start (scripts/install-deps installs it)";
    QDBusConnection dockBus = QDBusConnection::connectToBus(QString::fromStdString(bus.Address()), "dock");
    TDock dock;
    ASSERT_TRUE(HearLauncherEntry(dockBus, &dock, SLOT(Update(QString, QVariantMap))));
    QDBusConnection programBus = QDBusConnection::connectToBus(QString::fromStdString(bus.Address()), "program");
    form->SetLauncherEntry(std::make_unique<TLauncherEntry>(programBus));

    TForm2* slow = Start(site->WatchAddress("slowtide77"));
    TForm2* quick = Start(site->WatchAddress("rockroll33"));
    ASSERT_NE(slow, nullptr);
    ASSERT_NE(quick, nullptr);
    auto seen = [&](auto wanted) {
        return RunEventsUntil([&] { return std::any_of(dock.shown.begin(), dock.shown.end(), wanted); }, 20000);
    };
    EXPECT_TRUE(seen([](const TDock::TShown& shown) { return shown.count == 2; })) << "both run";
    EXPECT_TRUE(seen([](const TDock::TShown& shown) { return shown.count == 1 && shown.progress > 0.0; }))
        << "the slow one runs on";
    ASSERT_TRUE(RunEventsUntil([&] { return !slow->Running() && !quick->Running(); }, 30000));
    ASSERT_TRUE(RunEventsUntil([&] { return !dock.shown.empty() && dock.shown.back().count == 0; }, 5000));
    EXPECT_EQ(dock.shown.back().progress, 0.0) << "cleared";
    form.reset();
    QDBusConnection::disconnectFromBus("program");
    QDBusConnection::disconnectFromBus("dock");
}

#include "DownloadsOfTheWindowsTest.moc"

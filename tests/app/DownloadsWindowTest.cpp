#include "app/TForm1.h"
#include "app/TFormDownloads.h"
#include "framework/MessageBox.h"
#include "framework/Shell.h"
#include "framework/TImage.h"
#include "history/HistoryFiles.h"
#include "history/TDownloadHistory.h"
#include "i18n/GnuGettext.h"
#include "support/RunEventsUntil.h"
#include "support/ScratchFolder.h"
#include "widgets/TNxHtmlLabel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

// The downloads window over a history file of the test's own, written the
// way the windows and the command line write it.
namespace {

struct DownloadsWindow : ::testing::Test {
    ScratchFolder folder{"downloads"};
    TDownloadHistory history{folder.File("history.sqlite3")};
    // Another process's connection to the same file.
    TDownloadHistory elsewhere{folder.File("history.sqlite3")};
    TFormDownloads window{nullptr, history};

    std::int64_t Begin(const std::string& title, TDownloadHistory& by)
    {
        TDownloadRecord download;
        download.Address = "https://cdn.example.org/" + title + ".mp4";
        download.Title = title;
        download.File = folder.File(title + ".mp4");
        return by.Begin(download);
    }
    std::int64_t Ended(const std::string& title, TDownloadOutcome outcome)
    {
        std::int64_t id = Begin(title, history);
        history.End(id, outcome);
        return id;
    }

    QString Cell(int row, int column) const { return window.lvDownloads->topLevelItem(row)->text(column); }
    QStringList States() const
    {
        QStringList states;
        for (int row = 0; row < window.lvDownloads->topLevelItemCount(); ++row)
            states << Cell(row, 3);
        return states;
    }
    bool ShowsState(int row, const QString& state) const
    {
        return RunEventsUntil([&] { return window.lvDownloads->topLevelItemCount() > row && Cell(row, 3) == state; },
                              5000);
    }
};

// A download run by a process that ended without saying how it did.
std::int64_t BeginInAProcessThatEnds(const std::string& path, const std::string& file)
{
    int ids[2];
    EXPECT_EQ(::pipe(ids), 0);
    pid_t child = ::fork();
    if (child == 0) {
        TDownloadHistory history(path);
        TDownloadRecord download;
        download.Address = "https://cdn.example.org/cut.mp4";
        download.Title = "cut";
        download.File = file;
        std::int64_t id = history.Begin(download);
        history.Progress(id, 1 << 20, 4 << 20);
        ::write(ids[1], &id, sizeof id);
        ::_exit(0);
    }
    std::int64_t id = 0;
    ::close(ids[1]);
    ::read(ids[0], &id, sizeof id);
    ::close(ids[0]);
    ::waitpid(child, nullptr, 0);
    return id;
}

} // namespace

TEST_F(DownloadsWindow, ShowsEveryDownloadNewestFirstWithItsState)
{
    Ended("finished", {dsFinished, 3 << 20, 3 << 20, ""});
    Ended("failed", {dsFailed, 0, -1, "Host not found."});
    Ended("cancelled", {dsCancelled, 1 << 20, 3 << 20, ""});
    Ended("waiting", {dsWaitingForRetry, 1 << 20, 4 << 20, "Read Timeout"});
    std::int64_t running = Begin("running", history);
    history.Progress(running, 1 << 20, 4 << 20);
    window.Refresh();

    EXPECT_EQ(
        States(),
        (QStringList{"Downloading 25%", "Waiting for Retry", "Cancelled", "Failed: Host not found.", "Finished"}));
    EXPECT_EQ(Cell(0, 0), "running");
    EXPECT_EQ(Cell(0, 1), "running.mp4");
    EXPECT_EQ(Cell(0, 2), "1.0 MB of 4.0 MB");
    EXPECT_EQ(Cell(4, 2), "3.0 MB");
    EXPECT_FALSE(Cell(4, 4).isEmpty()) << "the date it started";
    EXPECT_EQ(window.lvDownloads->headerItem()->text(3), "State");
}

TEST_F(DownloadsWindow, FollowsADownloadOfAnotherProcess)
{
    window.show();
    std::int64_t id = Begin("elsewhere", elsewhere);
    EXPECT_TRUE(ShowsState(0, "Downloading..."));
    elsewhere.Progress(id, 2 << 20, 8 << 20);
    EXPECT_TRUE(ShowsState(0, "Downloading 25%"));
    EXPECT_EQ(Cell(0, 2), "2.0 MB of 8.0 MB");
    elsewhere.End(id, {dsFinished, 8 << 20, 8 << 20, ""});
    EXPECT_TRUE(ShowsState(0, "Finished"));
}

TEST_F(DownloadsWindow, ADownloadWhoseProcessEndedFailedOrWaitsForRetry)
{
    window.show();
    const std::string kept = folder.File("kept.mp4");
    std::ofstream(kept + ".part") << "what arrived";
    BeginInAProcessThatEnds(folder.File("history.sqlite3"), folder.File("lost.mp4"));
    BeginInAProcessThatEnds(folder.File("history.sqlite3"), kept);
    EXPECT_TRUE(ShowsState(0, "Waiting for Retry"));
    EXPECT_TRUE(ShowsState(1, "Failed: the program ended before the download did"));
}

TEST_F(DownloadsWindow, ActionsActOnTheChosenRowAndRemoveKeepsTheFile)
{
    const std::int64_t finished = Ended("finished", {dsFinished, 5, 5, ""});
    std::ofstream(folder.File("finished.mp4")) << "video";
    const std::int64_t waiting = Ended("waiting", {dsWaitingForRetry, 1, 5, "Read Timeout"});
    const std::int64_t running = Begin("running", history);
    window.Refresh();

    window.Choose(running);
    EXPECT_FALSE(window.btnOpen->isEnabled());
    EXPECT_FALSE(window.btnRemove->isEnabled()) << "a running download stays listed";
    EXPECT_TRUE(window.btnOpenFolder->isEnabled());

    std::vector<TShellRequest> opened;
    TShellSeam previous = SetShellSeam([&](const TShellRequest& request) { opened.push_back(request); });
    window.Choose(finished);
    ASSERT_TRUE(window.btnOpen->isEnabled());
    window.btnOpen->click();
    window.btnOpenFolder->click();
    SetShellSeam(previous);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].Verb, "open");
    EXPECT_EQ(opened[0].Target, folder.File("finished.mp4"));
    EXPECT_EQ(opened[1].Target, folder.path.string());

    // Retry is offered once something continues downloads.
    window.Choose(waiting);
    EXPECT_FALSE(window.btnRetry->isEnabled());
    std::vector<std::int64_t> retried;
    window.OnRetry = [&](const TDownloadRecord& download) { retried.push_back(download.Id); };
    window.Choose(finished);
    window.Choose(waiting);
    ASSERT_TRUE(window.btnRetry->isEnabled());
    window.btnRetry->click();
    EXPECT_EQ(retried, std::vector<std::int64_t>{waiting});

    window.Choose(finished);
    window.btnRemove->click();
    EXPECT_FALSE(history.Find(finished));
    EXPECT_EQ(FileBytes(folder.File("finished.mp4")), "video");
    EXPECT_EQ(window.lvDownloads->topLevelItemCount(), 2);
    EXPECT_EQ(window.Chosen()->Id, waiting) << "the next row takes the removed one's place";
}

TEST_F(DownloadsWindow, FollowsTheLanguage)
{
    Ended("finished", {dsFinished, 5, 5, ""});
    window.show();
    SelectLanguage("es");
    const bool spanish = ShowsState(0, "Terminado");
    const QString caption = window.btnRemove->text();
    const QString header = window.lvDownloads->headerItem()->text(3);
    SelectLanguage("en");
    EXPECT_TRUE(spanish);
    EXPECT_EQ(caption, "Quitar de la lista");
    EXPECT_EQ(header, "Estado");
    EXPECT_TRUE(ShowsState(0, "Finished"));
    EXPECT_EQ(window.btnRemove->text(), "Remove from the list");
}

TEST(MainWindowDownloads, TheLinkAndCtrlDOpenOneWindowOverTheHistory)
{
    TForm1 form;
    form.show();
    EXPECT_EQ(form.Downloads(), nullptr) << "made when first wanted";
    const QRect link = form.lblDownloads->geometry();
    EXPECT_EQ(link.right(), form.imgHelp->geometry().right()) << "right-aligned with the help picture";
    EXPECT_LE(link.bottom(), form.Panel1->height());
    EXPECT_GT(link.top(), form.imgEN->y() + 11) << "under the flags";

    form.lblDownloads->Click();
    TFormDownloads* downloads = form.Downloads();
    ASSERT_NE(downloads, nullptr);
    EXPECT_TRUE(downloads->isVisible());
    EXPECT_EQ(downloads->parentWidget(), &form) << "kept above the main window";
    downloads->close();
    QShortcut* shortcut = form.findChild<QShortcut*>();
    ASSERT_NE(shortcut, nullptr);
    EXPECT_EQ(shortcut->key(), QKeySequence(QStringLiteral("Ctrl+D")));
    emit shortcut->activated();
    EXPECT_EQ(form.Downloads(), downloads);
    EXPECT_TRUE(downloads->isVisible());
}

TEST(MainWindowDownloads, ADamagedHistoryIsSetAsideAndTheUserTold)
{
    // In the private data folder the tests run with (support/PrivateSettings.h).
    const std::string path = DefaultHistoryPath();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << std::string(4096, 'x');
    std::vector<std::string> told;
    TMessageBoxSeam previous = SetMessageBoxSeam([&](const TMessageBoxRequest& box) { told.push_back(box.Text); });
    TForm1 form;
    form.ShowDownloads();
    SetMessageBoxSeam(previous);

    EXPECT_TRUE(form.History().Available());
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0],
              "The download history was damaged. It was put aside as " + form.History().DamagedSetAside() +
                  " and a new one started.");
    EXPECT_EQ(FileBytes(form.History().DamagedSetAside()), std::string(4096, 'x'));
}

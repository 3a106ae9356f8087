#include "history/TDownloadHistory.h"
#include "history/BoundedText.h"
#include "history/HistoryFiles.h"
#include "history/HistorySchema.h"
#include "history/TSqliteDatabase.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// The history against real SQLite files in a folder of the test's own.
namespace {

struct History : ::testing::Test {
    ScratchFolder folder{"history"};
    std::string path = folder.File("skerrow/history.sqlite3");

    static TDownloadRecord Download(const std::string& title)
    {
        TDownloadRecord download;
        download.Address = "https://cdn.example.org/" + title + ".mp4";
        download.Title = title;
        download.File = "/home/me/Videos/" + title + ".mp4";
        download.Quality = "hq";
        return download;
    }
};

// Runs work in a child process and says whether it ended with status 0.
template <typename Work>
pid_t InChild(Work work)
{
    pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(work() ? 0 : 1);
    return pid;
}

bool EndedWell(pid_t pid)
{
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void Overwrite(const std::string& path, long offset, const std::string& bytes)
{
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(offset);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

TEST_F(History, FollowsADownloadFromStartToEnd)
{
    TDownloadHistory history(path);
    ASSERT_TRUE(history.Available()) << history.LastError();
    const std::int64_t id = history.Begin(Download("Sea stacks"));
    ASSERT_GT(id, 0);
    std::optional<TDownloadRecord> running = history.Find(id);
    ASSERT_TRUE(running);
    EXPECT_EQ(running->State, dsRunning);
    EXPECT_FALSE(running->OwnerGone);
    EXPECT_EQ(running->Owner.Id, ::getpid());
    EXPECT_EQ(running->Size, -1);
    EXPECT_GT(running->Started, 1700000000);
    EXPECT_EQ(running->Ended, 0);

    history.Progress(id, 2 << 20, 8 << 20);
    // A size not known at a later moment keeps the one known before.
    history.Progress(id, 3 << 20, -1);
    EXPECT_EQ(history.Find(id)->Received, 3 << 20);
    EXPECT_EQ(history.Find(id)->Size, 8 << 20);

    history.End(id, {dsWaitingForRetry, 4 << 20, -1, "Read Timeout"});
    TDownloadRecord ended = *history.Find(id);
    EXPECT_EQ(ended.State, dsWaitingForRetry);
    EXPECT_EQ(ended.Reason, "Read Timeout");
    EXPECT_EQ(ended.Received, 4 << 20);
    EXPECT_GE(ended.Ended, ended.Started);
    EXPECT_EQ(ended.Title, "Sea stacks");
    EXPECT_EQ(ended.File, "/home/me/Videos/Sea stacks.mp4");
    EXPECT_EQ(ended.Address, "https://cdn.example.org/Sea stacks.mp4");
    EXPECT_EQ(ended.Quality, "hq");

    // A retry runs the same row again, and ends it for good.
    history.Resume(id);
    EXPECT_EQ(history.Find(id)->State, dsRunning);
    EXPECT_EQ(history.Find(id)->Reason, "");
    history.End(id, {dsFinished, 8 << 20, 8 << 20, ""});
    EXPECT_EQ(history.Find(id)->State, dsFinished);
}

TEST_F(History, ListsTheNewestFirstAndForgetsRemovedRows)
{
    TDownloadHistory history(path);
    std::vector<std::int64_t> ids;
    for (const char* title : {"first", "second", "third"})
        ids.push_back(history.Begin(Download(title)));
    history.End(ids[0], {dsFinished, 10, 10, ""});
    history.End(ids[1], {dsCancelled, 5, 10, ""});
    history.End(ids[2], {dsFailed, 0, -1, "Host not found."});

    std::vector<TDownloadRecord> rows = history.Newest();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Title, "third");
    EXPECT_EQ(rows[0].State, dsFailed);
    EXPECT_EQ(rows[1].State, dsCancelled);
    EXPECT_EQ(rows[2].Title, "first");
    EXPECT_EQ(history.Newest(2).size(), 2u);

    EXPECT_TRUE(history.Remove(ids[1]));
    EXPECT_FALSE(history.Remove(ids[1]));
    EXPECT_FALSE(history.Find(ids[1]));
    EXPECT_EQ(history.Newest().size(), 2u);
}

TEST_F(History, ChangeCountMovesWithEveryChangeOfEitherProcess)
{
    TDownloadHistory window(path);
    TDownloadHistory commandLine(path);
    const std::uint64_t before = window.ChangeCount();
    EXPECT_EQ(window.ChangeCount(), before);

    const std::int64_t id = commandLine.Begin(Download("elsewhere"));
    const std::uint64_t afterOther = window.ChangeCount();
    EXPECT_GT(afterOther, before);
    EXPECT_EQ(window.ChangeCount(), afterOther);

    window.Remove(id);
    EXPECT_GT(window.ChangeCount(), afterOther);
}

TEST_F(History, TwoProcessesWriteAtOnce)
{
    constexpr int kDownloads = 60;
    {
        // The file is made before the writers race, as a window would.
        TDownloadHistory made(path);
        ASSERT_TRUE(made.Available());
    }
    auto writer = [&](const std::string& who) {
        return InChild([&] {
            TDownloadHistory history(path);
            bool all = history.Available();
            for (int i = 0; i < kDownloads; ++i) {
                std::int64_t id = history.Begin(Download(who + std::to_string(i)));
                history.Progress(id, i, kDownloads);
                history.End(id, {dsFinished, kDownloads, kDownloads, ""});
                all = all && id > 0;
            }
            return all;
        });
    };
    pid_t window = writer("window");
    pid_t commandLine = writer("command line");
    EXPECT_TRUE(EndedWell(window));
    EXPECT_TRUE(EndedWell(commandLine));

    TDownloadHistory history(path);
    std::vector<TDownloadRecord> rows = history.Newest();
    ASSERT_EQ(rows.size(), 2u * kDownloads);
    for (const TDownloadRecord& row : rows)
        EXPECT_EQ(row.State, dsFinished) << row.Title;
}

TEST_F(History, FreshFilesStartTogetherInTwoProcesses)
{
    // Both find no file: both create the tables, one of them for real.
    pid_t first = InChild([&] { return TDownloadHistory(path).Begin(Download("one")) > 0; });
    pid_t second = InChild([&] { return TDownloadHistory(path).Begin(Download("two")) > 0; });
    EXPECT_TRUE(EndedWell(first));
    EXPECT_TRUE(EndedWell(second));
    TDownloadHistory history(path);
    EXPECT_EQ(history.Newest().size(), 2u);
    EXPECT_EQ(history.SchemaVersion(), kHistorySchemaVersion);
}

TEST_F(History, ARowWhoseProcessEndedIsNoLongerRunning)
{
    TDownloadHistory history(path);
    pid_t child = InChild([&] { return TDownloadHistory(path).Begin(Download("killed")) > 0; });
    ASSERT_TRUE(EndedWell(child));
    const std::int64_t own = history.Begin(Download("own"));

    std::vector<TDownloadRecord> rows = history.Newest();
    ASSERT_EQ(rows.size(), 2u);
    const TDownloadRecord& killed = rows[0].Id == own ? rows[1] : rows[0];
    EXPECT_EQ(killed.State, dsRunning);
    EXPECT_TRUE(killed.OwnerGone);
    EXPECT_FALSE(history.Find(own)->OwnerGone);

    // The same id in use by another process later is not the owner either.
    EXPECT_FALSE((TOwnerProcess{::getpid(), TOwnerProcess::Current().StartTicks + 1}.Alive()));
    EXPECT_TRUE(TOwnerProcess::Current().Alive());
}

TEST_F(History, DamagedFilesAreSetAsideAndANewOneStarts)
{
    struct Damage {
        const char* why;
        std::string bytes;
        long offset;
    };
    const std::vector<Damage> damages{
        {"not a database at all", std::string(5000, 'x'), 0},
        {"a page of rows overwritten", std::string(4096, '\xFF'), 4096},
        {"the header's size fields overwritten", std::string(8, '\x7F'), 16},
    };
    for (const Damage& damage : damages) {
        ScratchFolder scratch("damaged");
        const std::string file = scratch.File("history.sqlite3");
        {
            TDownloadHistory history(file);
            for (int i = 0; i < 200; ++i)
                history.Begin(Download("row " + std::to_string(i) + std::string(100, '.')));
        }
        Overwrite(file, damage.offset, damage.bytes);
        const std::string damaged = FileBytes(file);

        TDownloadHistory history(file);
        ASSERT_TRUE(history.Available()) << damage.why << ": " << history.LastError();
        ASSERT_FALSE(history.DamagedSetAside().empty()) << damage.why;
        EXPECT_EQ(history.DamagedSetAside().rfind(file + ".damaged-", 0), 0u) << history.DamagedSetAside();
        EXPECT_EQ(FileBytes(history.DamagedSetAside()), damaged) << damage.why;
        EXPECT_TRUE(history.Newest().empty()) << damage.why;
        EXPECT_GT(history.Begin(Download("after")), 0) << damage.why;
        EXPECT_EQ(history.SchemaVersion(), kHistorySchemaVersion);
    }
}

TEST_F(History, AHistoryThatCannotBeWrittenIsSkipped)
{
    // The folder it would go in is a file.
    std::ofstream(folder.File("skerrow")) << "not a folder";
    TDownloadHistory history(path);
    EXPECT_FALSE(history.Available());
    EXPECT_FALSE(history.LastError().empty());
    EXPECT_EQ(history.Begin(Download("lost")), 0);
    history.Progress(1, 1, 1);
    history.End(1, {});
    EXPECT_TRUE(history.Newest().empty());
    EXPECT_TRUE(history.DamagedSetAside().empty());
}

TEST_F(History, SchemaVersionIsWrittenAndALaterOneIsLeftAsItIs)
{
    {
        TDownloadHistory history(path);
        EXPECT_EQ(history.SchemaVersion(), kHistorySchemaVersion);
    }
    {
        // A later version that added a column of its own.
        TSqliteDatabase later(path, std::chrono::milliseconds(100));
        later.Execute("ALTER TABLE downloads ADD COLUMN speed_limit INTEGER NOT NULL DEFAULT 0;"
                      "PRAGMA user_version = 7;");
    }
    TDownloadHistory history(path);
    EXPECT_TRUE(history.DamagedSetAside().empty());
    EXPECT_EQ(history.SchemaVersion(), 7);
    const std::int64_t id = history.Begin(Download("new"));
    EXPECT_EQ(history.Find(id)->Title, "new");
}

TEST_F(History, LongTextsAreCutWithoutSplittingACharacter)
{
    TDownloadHistory history(path);
    TDownloadRecord download = Download("long");
    download.Title.clear();
    for (int i = 0; i < 100000; ++i)
        download.Title += "\xC3\xB1"; // ñ
    const std::int64_t id = history.Begin(download);
    const std::string title = history.Find(id)->Title;
    EXPECT_LE(title.size(), 2048u);
    EXPECT_EQ(title.size() % 2, 0u);

    // Cut at a character's second byte, the cut moves to its first.
    EXPECT_EQ(BoundedText("a\xC3\xB1", 2), "a");
    EXPECT_EQ(BoundedText("a\xC3\xB1", 3), "a\xC3\xB1");
    EXPECT_EQ(BoundedText("abc", 0), "");
}

TEST(HistoryPath, FollowsTheDataFolderOfTheDesktop)
{
    const char* home = std::getenv("HOME");
    ASSERT_TRUE(home);
    ::setenv("XDG_DATA_HOME", "/data/me", 1);
    EXPECT_EQ(DefaultHistoryPath(), "/data/me/skerrow/history.sqlite3");
    // A relative folder is no folder the desktop's rules allow.
    ::setenv("XDG_DATA_HOME", "data", 1);
    EXPECT_EQ(DefaultHistoryPath(), std::string(home) + "/.local/share/skerrow/history.sqlite3");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(DefaultHistoryPath(), std::string(home) + "/.local/share/skerrow/history.sqlite3");
}

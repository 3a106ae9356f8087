#include "history/TDownloadHistory.h"

#include "history/BoundedText.h"
#include "history/ESqliteError.h"
#include "history/HistoryFiles.h"
#include "history/HistorySchema.h"
#include "history/TSqliteDatabase.h"
#include "history/TSqliteStatement.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>

namespace {

// A writer holds the lock for a few rows only; longer means something is
// wrong, and the history is skipped rather than the download held up.
constexpr std::chrono::milliseconds kBusyWait{2000};

// The longest texts kept, in bytes: a page's title or a reason can be
// anything a server sends.
constexpr std::size_t kLongestAddress = 16384;
constexpr std::size_t kLongestPath = 4096;
constexpr std::size_t kLongestText = 2048;
constexpr std::size_t kLongestQuality = 32;

constexpr const char* kColumns = "id, address, title, file, size, received, state, reason, quality, started, ended, "
                                 "process_id, process_start";

std::int64_t Now()
{
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

std::int64_t KnownSize(std::int64_t size)
{
    return size < 0 ? -1 : size;
}

TDownloadRecord ReadRecord(const TSqliteStatement& row)
{
    TDownloadRecord record;
    record.Id = row.Integer(0);
    record.Address = row.Text(1, kLongestAddress);
    record.Title = row.Text(2, kLongestText);
    record.File = row.Text(3, kLongestPath);
    record.Size = KnownSize(row.Integer(4));
    record.Received = std::max<std::int64_t>(0, row.Integer(5));
    record.State = StateNamed(row.Text(6, kLongestQuality));
    record.Reason = row.Text(7, kLongestText);
    record.Quality = row.Text(8, kLongestQuality);
    record.Started = row.Integer(9);
    record.Ended = row.Integer(10);
    record.Owner = {row.Integer(11), row.Integer(12)};
    record.OwnerGone = record.State == dsRunning && !record.Owner.Alive();
    return record;
}

} // namespace

TDownloadHistory::TDownloadHistory(std::string path) : path_(path.empty() ? DefaultHistoryPath() : std::move(path))
{
    Open();
}

TDownloadHistory::~TDownloadHistory() = default;

template <typename Use>
bool TDownloadHistory::Try(Use&& use)
{
    try {
        use();
        return true;
    } catch (const std::exception& error) {
        lastError_ = error.what();
        return false;
    }
}

void TDownloadHistory::Open()
{
    if (path_.empty()) {
        lastError_ = "There is no home folder to keep the history in.";
        return;
    }
    std::error_code ignored;
    const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
    // The addresses are the user's business: the folder is theirs alone.
    if (!folder.empty() && std::filesystem::create_directories(folder, ignored))
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ignored);
    try {
        OpenFile();
    } catch (const ESqliteError& error) {
        database_.reset();
        lastError_ = error.Message();
        if (!error.Damaged())
            return;
        damagedSetAside_ = SetAsideDamaged(path_, static_cast<std::time_t>(Now()));
        if (damagedSetAside_.empty())
            return;
        // A second failure leaves the history unavailable for this run.
        Try([this] { OpenFile(); });
    }
}

// A damaged file shows itself in the integrity check or on its first read;
// a file that is not a database at all fails already when the log mode is
// set.
void TDownloadHistory::OpenFile()
{
    auto database = std::make_unique<TSqliteDatabase>(path_, kBusyWait);
    const std::string check = database->QueryText("PRAGMA quick_check(1)");
    if (check != "ok")
        throw ESqliteError(SQLITE_CORRUPT, "The history's file is damaged: " + check);
    database->QueryText("PRAGMA journal_mode = WAL");
    // Committed rows survive a crash of the program; only a power cut may
    // lose the last ones, which costs far less than a sync on every write.
    database->Execute("PRAGMA synchronous = NORMAL");
    MigrateHistorySchema(*database);
    database_ = std::move(database);
}

// The list keeps the newest kMostKept downloads; older ones that ended go.
void TDownloadHistory::ForgetTheOldest()
{
    TSqliteStatement forget(*database_,
                            "DELETE FROM downloads WHERE state != 'running' AND id IN "
                            "(SELECT id FROM downloads ORDER BY started DESC, id DESC LIMIT -1 OFFSET ?)");
    forget.Bind(1, static_cast<std::int64_t>(kMostKept)).Run();
}

int TDownloadHistory::SchemaVersion()
{
    int version = 0;
    if (Available())
        Try([&] { version = HistorySchemaVersion(*database_); });
    return version;
}

std::int64_t TDownloadHistory::Begin(const TDownloadRecord& download)
{
    if (!Available())
        return 0;
    std::int64_t id = 0;
    Try([&] {
        const TOwnerProcess self = TOwnerProcess::Current();
        TSqliteStatement insert(*database_,
                                "INSERT INTO downloads (address, title, file, size, received, state, quality, "
                                "started, process_id, process_start) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        insert.Bind(1, BoundedText(download.Address, kLongestAddress))
            .Bind(2, BoundedText(download.Title, kLongestText))
            .Bind(3, BoundedText(download.File, kLongestPath))
            .Bind(4, KnownSize(download.Size))
            .Bind(5, std::max<std::int64_t>(0, download.Received))
            .Bind(6, std::string(StateName(dsRunning)))
            .Bind(7, BoundedText(download.Quality, kLongestQuality))
            .Bind(8, Now())
            .Bind(9, self.Id)
            .Bind(10, self.StartTicks);
        insert.Run();
        id = database_->LastInsertId();
        ForgetTheOldest();
    });
    return id;
}

void TDownloadHistory::Progress(std::int64_t id, std::int64_t received, std::int64_t size)
{
    if (!Available() || id <= 0)
        return;
    Try([&] {
        // A size not known now does not forget one known before.
        TSqliteStatement update(*database_,
                                "UPDATE downloads SET received = ?, "
                                "size = CASE WHEN ? >= 0 THEN ? ELSE size END WHERE id = ?");
        update.Bind(1, std::max<std::int64_t>(0, received)).Bind(2, size).Bind(3, size).Bind(4, id);
        update.Run();
    });
}

void TDownloadHistory::End(std::int64_t id, const TDownloadOutcome& outcome)
{
    if (!Available() || id <= 0)
        return;
    Try([&] {
        TSqliteStatement update(*database_,
                                "UPDATE downloads SET state = ?, received = ?, "
                                "size = CASE WHEN ? >= 0 THEN ? ELSE size END, reason = ?, ended = ? "
                                "WHERE id = ?");
        update.Bind(1, std::string(StateName(outcome.State)))
            .Bind(2, std::max<std::int64_t>(0, outcome.Received))
            .Bind(3, outcome.Size)
            .Bind(4, outcome.Size)
            .Bind(5, BoundedText(outcome.Reason, kLongestText))
            .Bind(6, Now())
            .Bind(7, id);
        update.Run();
    });
}

void TDownloadHistory::Resume(std::int64_t id)
{
    if (!Available() || id <= 0)
        return;
    Try([&] {
        const TOwnerProcess self = TOwnerProcess::Current();
        TSqliteStatement update(*database_,
                                "UPDATE downloads SET state = ?, reason = '', ended = 0, "
                                "process_id = ?, process_start = ? WHERE id = ?");
        update.Bind(1, std::string(StateName(dsRunning))).Bind(2, self.Id).Bind(3, self.StartTicks).Bind(4, id);
        update.Run();
    });
}

bool TDownloadHistory::Remove(std::int64_t id)
{
    if (!Available())
        return false;
    bool removed = false;
    Try([&] {
        TSqliteStatement remove(*database_, "DELETE FROM downloads WHERE id = ?");
        remove.Bind(1, id).Run();
        removed = database_->Changes() > 0;
    });
    return removed;
}

std::vector<TDownloadRecord> TDownloadHistory::Newest(std::size_t limit)
{
    return Select("ORDER BY started DESC, id DESC LIMIT ?", static_cast<std::int64_t>(std::min(limit, kMostRows)));
}

std::optional<TDownloadRecord> TDownloadHistory::Find(std::int64_t id)
{
    std::vector<TDownloadRecord> found = Select("WHERE id = ?", id);
    if (found.empty())
        return std::nullopt;
    return found.front();
}

// The rows the end of a query picks, with its one value bound; never more
// than kMostRows.
std::vector<TDownloadRecord> TDownloadHistory::Select(const char* rest, std::int64_t value)
{
    std::vector<TDownloadRecord> records;
    if (!Available())
        return records;
    Try([&] {
        const std::string sql = std::string("SELECT ") + kColumns + " FROM downloads " + rest;
        TSqliteStatement select(*database_, sql.c_str());
        select.Bind(1, value);
        while (records.size() < kMostRows && select.Step())
            records.push_back(ReadRecord(select));
    });
    return records;
}

// data_version moves when another connection commits, total_changes when
// this one does; either moving is a change.
std::uint64_t TDownloadHistory::ChangeCount()
{
    if (!Available())
        return changeCount_;
    Try([&] {
        const std::int64_t dataVersion = database_->QueryInteger("PRAGMA data_version");
        const std::int64_t ownChanges = database_->TotalChanges();
        if (dataVersion != seenDataVersion_ || ownChanges != seenOwnChanges_)
            ++changeCount_;
        seenDataVersion_ = dataVersion;
        seenOwnChanges_ = ownChanges;
    });
    return changeCount_;
}

#pragma once

#include "history/TDownloadRecord.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TSqliteDatabase;

// The list of every download, of this run and earlier ones, kept in a SQLite
// file that the windows and the command line write alike, each process
// through a connection of its own (write-ahead logging, so readers never
// wait for a writer; a writer waits a moment for another's lock).
//
// The history never stands in a download's way: nothing here throws. A
// history that cannot be opened or written is skipped (Available() says
// so, LastError() why), and a damaged file is set aside at opening and a new
// one started (DamagedSetAside() names where the old one went, for the
// caller to tell the user).
//
// One object belongs to the thread that made it, and to its process: a
// child of fork opens its own.
class TDownloadHistory {
public:
    // The most rows Newest hands out.
    static constexpr std::size_t kMostRows = 1000;
    // The most downloads kept; older ones that ended are forgotten.
    static constexpr std::size_t kMostKept = 10000;

    // Opens the history at path, creating its folder and file; an empty path
    // means DefaultHistoryPath().
    explicit TDownloadHistory(std::string path = "");
    ~TDownloadHistory();
    TDownloadHistory(const TDownloadHistory&) = delete;
    TDownloadHistory& operator=(const TDownloadHistory&) = delete;

    bool Available() const { return database_ != nullptr; }
    const std::string& Path() const { return path_; }
    const std::string& DamagedSetAside() const { return damagedSetAside_; }
    const std::string& LastError() const { return lastError_; }
    // The file's schema version (user_version); 0 when not available.
    int SchemaVersion();

    // Records a download that starts now in this process, from the
    // address, title, file, size and quality of the record. Returns its id,
    // or 0 when the history could not take it.
    std::int64_t Begin(const TDownloadRecord& download);
    // What has arrived so far (size -1: not known yet).
    void Progress(std::int64_t id, std::int64_t received, std::int64_t size);
    void End(std::int64_t id, const TDownloadOutcome& outcome);
    // The download runs again in this process (a retry continues it).
    void Resume(std::int64_t id);
    // Takes the download off the list; its file is never touched.
    bool Remove(std::int64_t id);

    // The newest downloads first, at most limit (and kMostRows) of them.
    std::vector<TDownloadRecord> Newest(std::size_t limit = kMostRows);
    std::optional<TDownloadRecord> Find(std::int64_t id);

    // A number that grows whenever the history changed, by this process or
    // another, since it was last asked. Cheap enough to ask twice a second.
    std::uint64_t ChangeCount();

private:
    void Open();
    void OpenFile();
    void ForgetTheOldest();
    std::vector<TDownloadRecord> Select(const char* rest, std::int64_t value);
    // Runs one use of the database; a failure is recorded and skipped.
    template <typename Use>
    bool Try(Use&& use);

    std::string path_;
    std::unique_ptr<TSqliteDatabase> database_;
    std::string damagedSetAside_;
    std::string lastError_;
    std::int64_t seenDataVersion_ = -1;
    std::int64_t seenOwnChanges_ = -1;
    std::uint64_t changeCount_ = 0;
};

#pragma once

#include <chrono>
#include <cstdint>
#include <string>

struct sqlite3;

// One connection to a SQLite file, closed with the object. Every failure
// raises ESqliteError with the engine's code and message. A connection
// belongs to the thread that uses it, and never crosses a fork.
class TSqliteDatabase {
public:
    // Opens the file, creating it when there is none. Waits up to busyWait
    // for another process's lock before a statement gives up as busy.
    TSqliteDatabase(const std::string& path, std::chrono::milliseconds busyWait);
    ~TSqliteDatabase();
    TSqliteDatabase(const TSqliteDatabase&) = delete;
    TSqliteDatabase& operator=(const TSqliteDatabase&) = delete;

    // Runs statements that return no rows.
    void Execute(const char* sql);
    // The first column of the first row of a statement that needs no values.
    std::int64_t QueryInteger(const char* sql);
    std::string QueryText(const char* sql);

    std::int64_t LastInsertId() const;
    // Rows the last statement changed.
    int Changes() const;
    // Rows this connection's statements changed since it opened.
    std::int64_t TotalChanges() const;

    // Raises the connection's last failure, which returned code.
    [[noreturn]] void Fail(int code) const;
    sqlite3* Handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};

// A write transaction that takes the write lock at once (so two processes
// never both read, then both try to write), rolled back unless committed.
class TSqliteTransaction {
public:
    explicit TSqliteTransaction(TSqliteDatabase& database);
    ~TSqliteTransaction();
    TSqliteTransaction(const TSqliteTransaction&) = delete;
    TSqliteTransaction& operator=(const TSqliteTransaction&) = delete;

    void Commit();

private:
    TSqliteDatabase& database_;
    bool open_ = true;
};

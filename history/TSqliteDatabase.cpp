#include "history/TSqliteDatabase.h"

#include "history/ESqliteError.h"
#include "history/TSqliteStatement.h"

#include <sqlite3.h>

TSqliteDatabase::TSqliteDatabase(const std::string& path, std::chrono::milliseconds busyWait)
{
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
    const int code = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (code != SQLITE_OK) {
        // A failed open still hands over a handle that holds the message.
        std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
        sqlite3_close(db_);
        db_ = nullptr;
        throw ESqliteError(code, message + " (" + path + ")");
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, static_cast<int>(busyWait.count()));
}

TSqliteDatabase::~TSqliteDatabase()
{
    // Statements are finalised by their own objects before this point;
    // close_v2 still waits for a straggler instead of leaking the handle.
    sqlite3_close_v2(db_);
}

void TSqliteDatabase::Execute(const char* sql)
{
    char* error = nullptr;
    const int code = sqlite3_exec(db_, sql, nullptr, nullptr, &error);
    if (code == SQLITE_OK)
        return;
    std::string message = error ? error : sqlite3_errstr(code);
    sqlite3_free(error);
    throw ESqliteError(code, message);
}

std::int64_t TSqliteDatabase::QueryInteger(const char* sql)
{
    TSqliteStatement statement(*this, sql);
    return statement.Step() ? statement.Integer(0) : 0;
}

std::string TSqliteDatabase::QueryText(const char* sql)
{
    TSqliteStatement statement(*this, sql);
    return statement.Step() ? statement.Text(0, 4096) : std::string();
}

std::int64_t TSqliteDatabase::LastInsertId() const
{
    return sqlite3_last_insert_rowid(db_);
}

int TSqliteDatabase::Changes() const
{
    return sqlite3_changes(db_);
}

std::int64_t TSqliteDatabase::TotalChanges() const
{
    return sqlite3_total_changes64(db_);
}

void TSqliteDatabase::Fail(int code) const
{
    throw ESqliteError(code, sqlite3_errmsg(db_));
}

TSqliteTransaction::TSqliteTransaction(TSqliteDatabase& database) : database_(database)
{
    database_.Execute("BEGIN IMMEDIATE");
}

TSqliteTransaction::~TSqliteTransaction()
{
    if (!open_)
        return;
    // A rollback that fails leaves the engine to roll back at close.
    sqlite3_exec(database_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void TSqliteTransaction::Commit()
{
    database_.Execute("COMMIT");
    open_ = false;
}

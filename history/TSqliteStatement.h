#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class TSqliteDatabase;
struct sqlite3_stmt;

// A prepared statement: values bound by position (from 1), then stepped
// through its rows, columns read by position (from 0). Finalised with the
// object.
class TSqliteStatement {
public:
    TSqliteStatement(TSqliteDatabase& database, const char* sql);
    ~TSqliteStatement();
    TSqliteStatement(const TSqliteStatement&) = delete;
    TSqliteStatement& operator=(const TSqliteStatement&) = delete;

    TSqliteStatement& Bind(int index, std::int64_t value);
    TSqliteStatement& Bind(int index, const std::string& value);

    // Runs to the next row; false once there is none.
    bool Step();
    // Runs a statement that returns no rows.
    void Run();

    std::int64_t Integer(int column) const;
    // A text column, cut to at most limit bytes without splitting a UTF-8
    // character: whatever the file holds, a row stays small.
    std::string Text(int column, std::size_t limit) const;

private:
    void Check(int code) const;

    TSqliteDatabase& database_;
    sqlite3_stmt* statement_ = nullptr;
};

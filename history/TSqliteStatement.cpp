#include "history/TSqliteStatement.h"

#include "history/BoundedText.h"
#include "history/TSqliteDatabase.h"

#include <sqlite3.h>

TSqliteStatement::TSqliteStatement(TSqliteDatabase& database, const char* sql) : database_(database)
{
    Check(sqlite3_prepare_v2(database_.Handle(), sql, -1, &statement_, nullptr));
}

TSqliteStatement::~TSqliteStatement()
{
    sqlite3_finalize(statement_);
}

TSqliteStatement& TSqliteStatement::Bind(int index, std::int64_t value)
{
    Check(sqlite3_bind_int64(statement_, index, value));
    return *this;
}

TSqliteStatement& TSqliteStatement::Bind(int index, const std::string& value)
{
    Check(sqlite3_bind_text64(statement_, index, value.data(), value.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
    return *this;
}

bool TSqliteStatement::Step()
{
    const int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW)
        return true;
    if (code == SQLITE_DONE)
        return false;
    database_.Fail(code);
}

void TSqliteStatement::Run()
{
    while (Step()) {}
}

std::int64_t TSqliteStatement::Integer(int column) const
{
    return sqlite3_column_int64(statement_, column);
}

std::string TSqliteStatement::Text(int column, std::size_t limit) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    if (!text)
        return {};
    const auto length = static_cast<std::size_t>(sqlite3_column_bytes(statement_, column));
    return BoundedText(std::string_view(text, length), limit);
}

void TSqliteStatement::Check(int code) const
{
    if (code != SQLITE_OK)
        database_.Fail(code);
}

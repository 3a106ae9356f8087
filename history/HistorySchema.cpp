#include "history/HistorySchema.h"

#include "history/TSqliteDatabase.h"

#include <array>
#include <string>

namespace {

// Step N takes a file from version N to N + 1. Steps are never changed once
// released; a change of the tables is a new step.
constexpr std::array<const char*, kHistorySchemaVersion> kSteps{
    // 0 -> 1: the downloads.
    "CREATE TABLE downloads ("
    "  id INTEGER PRIMARY KEY AUTOINCREMENT,"
    "  address TEXT NOT NULL,"
    "  title TEXT NOT NULL DEFAULT '',"
    "  file TEXT NOT NULL DEFAULT '',"
    "  size INTEGER NOT NULL DEFAULT -1,"
    "  received INTEGER NOT NULL DEFAULT 0,"
    "  state TEXT NOT NULL,"
    "  reason TEXT NOT NULL DEFAULT '',"
    "  quality TEXT NOT NULL DEFAULT '',"
    "  started INTEGER NOT NULL,"
    "  ended INTEGER NOT NULL DEFAULT 0,"
    "  process_id INTEGER NOT NULL DEFAULT 0,"
    "  process_start INTEGER NOT NULL DEFAULT 0"
    ");"
    "CREATE INDEX downloads_by_start ON downloads (started DESC, id DESC);",
};

} // namespace

int HistorySchemaVersion(TSqliteDatabase& database)
{
    return static_cast<int>(database.QueryInteger("PRAGMA user_version"));
}

void MigrateHistorySchema(TSqliteDatabase& database)
{
    // Cheap when nothing is to be done: no write lock is taken.
    if (HistorySchemaVersion(database) >= kHistorySchemaVersion)
        return;
    for (int step = 0; step < kHistorySchemaVersion; ++step) {
        TSqliteTransaction transaction(database);
        if (HistorySchemaVersion(database) != step)
            continue;
        database.Execute(kSteps[static_cast<std::size_t>(step)]);
        database.Execute(("PRAGMA user_version = " + std::to_string(step + 1)).c_str());
        transaction.Commit();
    }
}

#pragma once

class TSqliteDatabase;

// The history's tables, versioned through the database's user_version: a
// new file starts at 0 and is brought up to kHistorySchemaVersion one step
// at a time, each step in a transaction of its own. A file of a later
// version is used as it is: later versions only add to the tables.
constexpr int kHistorySchemaVersion = 1;

// Brings the file up to the current version. Two processes may do it at the
// same moment: each step rechecks the version under the write lock.
void MigrateHistorySchema(TSqliteDatabase& database);

int HistorySchemaVersion(TSqliteDatabase& database);

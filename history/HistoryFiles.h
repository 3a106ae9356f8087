#pragma once

#include <ctime>
#include <string>

// Where the history lives: history.sqlite3 in skerrow/ under the user's data
// folder ($XDG_DATA_HOME when it is an absolute path, else
// ~/.local/share). Empty when there is no home to put it in.
std::string DefaultHistoryPath();

// Moves a damaged database aside, with its write-ahead log, to
// PATH.damaged-YYYYMMDD-HHMMSS (a number added when that name is taken), so
// that a new one can start in its place and the old one can still be looked
// at. Returns the new name, or empty when it could not be moved.
std::string SetAsideDamaged(const std::string& path, std::time_t now);

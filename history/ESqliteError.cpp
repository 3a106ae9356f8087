#include "history/ESqliteError.h"

#include <sqlite3.h>

bool ESqliteError::Damaged() const
{
    // Extended codes carry the primary one in their low byte.
    const int primary = code_ & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

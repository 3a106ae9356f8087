#pragma once

#include "runtime/Exception.h"

#include <cstdint>
#include <string>

// The engine's error numbers: compile errors below reeFirstSearchError (their
// messages carry the pattern position), search errors from it on.
enum TRegExprError : int {
    reeOk = 0,
    reeTooManyGroups = 102,
    reeUnclosedGroup = 103,
    reeUnopenedGroup = 104,
    reeJunkAtEnd = 105,
    reeRepeatOperandCouldBeEmpty = 106,
    reeNestedRepeat = 107,
    reeBadHexDigit = 108,
    reeInvalidRange = 109,
    reeClassTrailingBackslash = 110,
    reeNoHexCode = 111,
    reeHexCodeTooBig = 112,
    reeUnclosedClass = 113,
    reeAtomAtBranchEnd = 114,
    reeRepeatFollowsNothing = 115,
    reeTrailingBackslash = 116,
    reeMisplacedMetaCharacter = 119,
    reeBracesArgumentTooBig = 122,
    reeBracesMinAboveMax = 124,
    reeUnclosedComment = 125,
    reeUnknownModifier = 127,
    reeBadLinePairedSeparator = 128,
    reeExpressionTooLong = 129,

    reeFirstSearchError = 1000,
    reeRepeatMisplaced = 1000,
    reeMemoryCorruption = 1001,
    reeCorruptedPointers = 1002,
    reeNoExpression = 1003,
    reeCorruptedProgram = 1004,
    reeNoInputString = 1005,
    reeOffsetNotPositive = 1006,
    reeModifierIndexOutOfRange = 1013,
    reeLoopStackExceeded = 1014,
    reeLoopWithoutEntry = 1015,
    reeBacktrackStackExceeded = 1016,
};

// A failure of the pattern matcher: a compile error (with
// the pattern position where it was found) or a search error.
class ERegExpr : public Exception {
public:
    ERegExpr(std::string message, int32_t number, int32_t position)
        : Exception(std::move(message)), errorNumber_(number), errorPosition_(position)
    {}

    int32_t ErrorNumber() const { return errorNumber_; }
    int32_t ErrorPosition() const { return errorPosition_; }

private:
    int32_t errorNumber_;
    int32_t errorPosition_;
};

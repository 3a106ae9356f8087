#pragma once

#include "runtime/Exception.h"

#include <cstdint>
#include <string>

// A failure of the pattern matcher: a compile error (number below 1000, with
// the pattern position where it was found) or a search error.
class ERegExpr : public Exception {
public:
    ERegExpr(std::string message, int32_t number, int32_t position)
        : Exception(std::move(message)), errorNumber_(number), errorPosition_(position)
    {
    }

    int32_t ErrorNumber() const { return errorNumber_; }
    int32_t ErrorPosition() const { return errorPosition_; }

private:
    int32_t errorNumber_;
    int32_t errorPosition_;
};

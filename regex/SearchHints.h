#pragma once

#include "regex/ByteSet.h"
#include "regex/RegExprSettings.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace regexpr {

// What a compiled program tells the search about where matches can begin.
struct SearchHints {
    ByteSet firstChars;               // code 0: a match may begin at the subject end
    uint8_t startChar = 0;            // every match begins with it; 0 = none
    bool anchored = false;            // a match can only begin where the search begins
    std::string_view requiredLiteral; // every match contains it (empty = none)

    // The first characters other than 0 as a list, when there are at most
    // kMaxFirstCharList of them (empty otherwise): a search can then jump
    // between them with strcspn instead of testing every position.
    static constexpr size_t kMaxFirstCharList = 16;
    std::string firstCharList;
};

// Derives the hints from a freshly compiled program. `flags` are the
// pattern's parse flags; `multiLine` is the m modifier it was compiled with.
SearchHints DeriveSearchHints(std::span<const uint8_t> program, int flags, bool multiLine, const Settings& settings,
                              const ErrorRaiser& raise);

} // namespace regexpr

#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-8 text from outside (a page, an address, a record), read as a browser
// reads it: each ill-formed sequence (a stray byte, a sequence cut short, an
// overlong form, a surrogate, a value above U+10FFFF) stands for one U+FFFD,
// that sequence being as long as it was well-formed up to the byte that
// broke it. The page reader's HTML parser reads page text the same way.

constexpr char32_t kReplacementCharacter = 0xFFFD;

struct TUtf8Character {
    char32_t Code;      // U+FFFD for an ill-formed sequence
    std::size_t Length; // bytes taken, at least 1
    bool WellFormed;
};

// The character that starts at bytes[at]; at must be inside bytes.
TUtf8Character ReadUtf8Character(std::string_view bytes, std::size_t at);

// The text with each ill-formed sequence replaced by U+FFFD; well-formed
// text comes back as it is.
std::string ValidUtf8(std::string_view bytes);

#pragma once

#include <string>
#include <string_view>

// Byte-text helpers for names, header lines and keys, which compare without
// regard to the case of ASCII letters. Other bytes are left as they are.
namespace AsciiText {

// Drops every byte at or below the blank from both ends.
std::string Trim(std::string_view text);
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
bool SameText(std::string_view a, std::string_view b);
bool StartsWithText(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view tail);
// Case-insensitive substring test.
bool ContainsText(std::string_view text, std::string_view part);

} // namespace AsciiText

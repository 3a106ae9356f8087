#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The byte-text toolkit of every layer: names, header lines, keys, numbers
// and messages. Letter case is that of ASCII letters; other bytes are left
// as they are.
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

// The value of one hexadecimal digit (either case), -1 for any other byte.
int HexDigitValue(char c);
// Digits of the base (10 or 16) and nothing else, at least one, whose value
// fits 64 bits; nothing otherwise.
std::optional<std::uint64_t> ParseUnsigned(std::string_view digits, int base = 10);
// A whole decimal number with an optional sign, after trimming; nothing when
// the text is not one or does not fit.
std::optional<std::int64_t> ToInt64(std::string_view text);
std::optional<std::int32_t> ToInt32(std::string_view text);
// A whole hexadecimal number without sign, after trimming.
std::optional<std::int64_t> HexToInt64(std::string_view text);

// The text with its "%s" marks replaced by the arguments in order. Marks
// beyond the arguments stay; an argument's own text is never taken for a
// mark.
std::string FillPlaceholders(std::string_view text, const std::vector<std::string>& arguments);

// The pieces of text between any of the separator bytes, empty ones left out.
std::vector<std::string> SplitList(std::string_view text, std::string_view separators);

} // namespace AsciiText

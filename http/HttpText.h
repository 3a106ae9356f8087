#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Byte-text helpers of the HTTP exchange and the cookie store. Letter case
// is ASCII only: header names, attribute names and schemes are ASCII.
namespace HttpText {

// Drops every byte at or below the blank from both ends.
std::string Trim(std::string_view text);
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
bool SameText(std::string_view a, std::string_view b);
bool EndsWith(std::string_view text, std::string_view tail);
// Case-insensitive substring test.
bool ContainsText(std::string_view text, std::string_view part);

// A whole decimal number with an optional sign, after trimming; nothing when
// the text is not one or does not fit.
std::optional<std::int64_t> ToInt64(std::string_view text);
std::optional<std::int32_t> ToInt32(std::string_view text);
// A whole hexadecimal number without sign, after trimming.
std::optional<std::int64_t> HexToInt64(std::string_view text);

}  // namespace HttpText

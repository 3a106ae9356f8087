#pragma once

#include "runtime/AsciiText.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Byte-text helpers of the HTTP exchange and the cookie store. Letter case
// is ASCII only: header names, attribute names and schemes are ASCII.
namespace HttpText {

using AsciiText::ContainsText;
using AsciiText::EndsWith;
using AsciiText::LowerCase;
using AsciiText::SameText;
using AsciiText::Trim;
using AsciiText::UpperCase;

// A whole decimal number with an optional sign, after trimming; nothing when
// the text is not one or does not fit.
std::optional<std::int64_t> ToInt64(std::string_view text);
std::optional<std::int32_t> ToInt32(std::string_view text);
// A whole hexadecimal number without sign, after trimming.
std::optional<std::int64_t> HexToInt64(std::string_view text);

}  // namespace HttpText

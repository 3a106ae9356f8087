#include "http/HttpText.h"

#include <limits>

namespace HttpText {

namespace {

char ToLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::optional<std::int64_t> ParseDigits(std::string_view digits, int base, bool negative)
{
    if (digits.empty())
        return std::nullopt;
    const std::uint64_t limit = negative ? std::uint64_t(std::numeric_limits<std::int64_t>::max()) + 1
                                         : std::uint64_t(std::numeric_limits<std::int64_t>::max());
    std::uint64_t value = 0;
    for (char c : digits) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && ToLower(c) >= 'a' && ToLower(c) <= 'f')
            digit = ToLower(c) - 'a' + 10;
        else
            return std::nullopt;
        if (value > (limit - digit) / base)
            return std::nullopt;
        value = value * base + digit;
    }
    if (negative)
        return value == limit ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(value);
    return static_cast<std::int64_t>(value);
}

}  // namespace

std::optional<std::int64_t> ToInt64(std::string_view text)
{
    std::string trimmed = Trim(text);
    std::string_view digits = trimmed;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    return ParseDigits(digits, 10, negative);
}

std::optional<std::int32_t> ToInt32(std::string_view text)
{
    auto value = ToInt64(text);
    if (!value || *value < std::numeric_limits<std::int32_t>::min() || *value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

std::optional<std::int64_t> HexToInt64(std::string_view text)
{
    std::string trimmed = Trim(text);
    return ParseDigits(trimmed, 16, false);
}

}  // namespace HttpText

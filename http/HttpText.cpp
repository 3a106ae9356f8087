#include "http/HttpText.h"

#include <algorithm>
#include <limits>

namespace HttpText {

namespace {

char ToUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
char ToLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsControlOrBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

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

std::string Trim(std::string_view text)
{
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsControlOrBlank(text[first]))
        ++first;
    while (last > first && IsControlOrBlank(text[last - 1]))
        --last;
    return std::string(text.substr(first, last - first));
}

std::string UpperCase(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), ToUpper);
    return result;
}

std::string LowerCase(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), ToLower);
    return result;
}

bool SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return ToLower(x) == ToLower(y); });
}

bool EndsWith(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

bool ContainsText(std::string_view text, std::string_view part)
{
    return LowerCase(text).find(LowerCase(part)) != std::string::npos;
}

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

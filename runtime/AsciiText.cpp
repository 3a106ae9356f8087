#include "runtime/AsciiText.h"

#include <algorithm>
#include <limits>

namespace AsciiText {
namespace {

char ToUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
char ToLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
bool IsControlOrBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}
bool SameLetter(char x, char y)
{
    return ToLower(x) == ToLower(y);
}

constexpr std::uint64_t kInt64Max = std::numeric_limits<std::int64_t>::max();

} // namespace

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
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), SameLetter);
}

bool StartsWithText(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

bool EndsWith(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

bool ContainsText(std::string_view text, std::string_view part)
{
    return LowerCase(text).find(LowerCase(part)) != std::string::npos;
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (ToLower(c) >= 'a' && ToLower(c) <= 'f')
        return ToLower(c) - 'a' + 10;
    return -1;
}

std::optional<std::uint64_t> ParseUnsigned(std::string_view digits, int base)
{
    if (digits.empty())
        return std::nullopt;
    const std::uint64_t limit = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t value = 0;
    for (char c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0 || digit >= base)
            return std::nullopt;
        if (value > (limit - static_cast<std::uint64_t>(digit)) / static_cast<std::uint64_t>(base))
            return std::nullopt;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    }
    return value;
}

std::optional<std::int64_t> ToInt64(std::string_view text)
{
    const std::string trimmed = Trim(text);
    std::string_view digits = trimmed;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    const std::optional<std::uint64_t> value = ParseUnsigned(digits);
    if (!value || *value > kInt64Max + (negative ? 1 : 0))
        return std::nullopt;
    if (negative)
        return *value == kInt64Max + 1 ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(*value);
    return static_cast<std::int64_t>(*value);
}

std::optional<std::int32_t> ToInt32(std::string_view text)
{
    const std::optional<std::int64_t> value = ToInt64(text);
    if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
        *value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

std::optional<std::int64_t> HexToInt64(std::string_view text)
{
    const std::optional<std::uint64_t> value = ParseUnsigned(Trim(text), 16);
    if (!value || *value > kInt64Max)
        return std::nullopt;
    return static_cast<std::int64_t>(*value);
}

std::string FillPlaceholders(std::string_view text, const std::vector<std::string>& arguments)
{
    std::string filled(text);
    std::size_t from = 0;
    for (const std::string& argument : arguments) {
        const std::size_t at = filled.find("%s", from);
        if (at == std::string::npos)
            break;
        filled.replace(at, 2, argument);
        from = at + argument.size();
    }
    return filled;
}

std::vector<std::string> SplitList(std::string_view text, std::string_view separators)
{
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of(separators, start);
        if (end == std::string_view::npos)
            end = text.size();
        if (end > start)
            pieces.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

} // namespace AsciiText

#include "grabber/RangeHeaders.h"

#include "runtime/AsciiText.h"

#include <cstdint>

std::optional<std::int64_t> ParseByteCount(std::string_view digits)
{
    std::optional<std::uint64_t> value = AsciiText::ParseUnsigned(digits);
    if (!value || *value > static_cast<std::uint64_t>(INT64_MAX))
        return std::nullopt;
    return static_cast<std::int64_t>(*value);
}

std::optional<TContentRange> ParseContentRange(const std::string& text)
{
    std::string value = AsciiText::Trim(text);
    if (!AsciiText::StartsWithText(value, "bytes "))
        return std::nullopt;
    std::string_view rest = std::string_view(value).substr(6);
    std::size_t dash = rest.find('-');
    std::size_t slash = rest.find('/');
    if (dash == std::string_view::npos || slash == std::string_view::npos || slash < dash)
        return std::nullopt;
    auto first = ParseByteCount(rest.substr(0, dash));
    auto last = ParseByteCount(rest.substr(dash + 1, slash - dash - 1));
    auto length = ParseByteCount(rest.substr(slash + 1));
    if (!first || !last || !length || *last < *first || *last >= *length)
        return std::nullopt;
    return TContentRange{*first, *last, *length};
}

bool OffersByteRanges(const std::string& acceptRanges)
{
    for (const std::string& unit : AsciiText::SplitList(acceptRanges, ","))
        if (AsciiText::SameText(AsciiText::Trim(unit), "bytes"))
            return true;
    return false;
}

std::optional<std::string> RangeValidator(const std::string& etag, const std::string& lastModified)
{
    // A weak ETag may not be used to join byte ranges.
    std::string tag = AsciiText::Trim(etag);
    if (tag.size() >= 2 && tag.front() == '"' && tag.back() == '"')
        return tag;
    std::string date = AsciiText::Trim(lastModified);
    if (!date.empty())
        return date;
    return std::nullopt;
}

std::string ContinuationHeaders(std::int64_t offset, const std::string& validator)
{
    return "Range: bytes=" + std::to_string(offset) + "-\r\nIf-Range: " + validator + "\r\n";
}

std::optional<std::chrono::seconds> RetryAfterSeconds(const std::string& text)
{
    std::optional<std::int64_t> seconds = ParseByteCount(AsciiText::Trim(text));
    if (!seconds)
        return std::nullopt;
    return std::chrono::seconds{*seconds};
}

#include "stream/StreamNumbers.h"

#include "runtime/AsciiText.h"
#include "stream/StreamLimits.h"

#include <charconv>
#include <cmath>

namespace {

// A plain decimal: digits with at most one point, no sign, no exponent (so
// that "1e400", "inf" and "nan" are no numbers).
std::optional<double> ParseDecimal(std::string_view text)
{
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos)
        return std::nullopt;
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<std::uint64_t> ParseWholeNumber(std::string_view text)
{
    if (std::optional<std::uint64_t> value = AsciiText::ParseUnsigned(text))
        return *value <= kMaxWholeNumber ? value : std::nullopt;
    std::optional<double> decimal = ParseDecimal(text);
    if (!decimal || *decimal > double(kMaxWholeNumber))
        return std::nullopt;
    return static_cast<std::uint64_t>(std::llround(*decimal));
}

std::optional<double> ParseSeconds(std::string_view text)
{
    std::optional<double> seconds = ParseDecimal(text);
    if (!seconds || *seconds > kMaxSeconds)
        return std::nullopt;
    return seconds;
}

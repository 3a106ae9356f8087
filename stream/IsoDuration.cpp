#include "stream/IsoDuration.h"

#include "stream/StreamLimits.h"
#include "stream/StreamNumbers.h"

#include <string>

namespace {

struct TDesignator {
    char Letter;
    double Seconds;
};

// In the order they may come, before and after the "T".
constexpr TDesignator kDateParts[] = {{'Y', 365 * 86400.0}, {'M', 30 * 86400.0}, {'W', 7 * 86400.0}, {'D', 86400.0}};
constexpr TDesignator kTimeParts[] = {{'H', 3600.0}, {'M', 60.0}, {'S', 1.0}};

// Reads "nX" parts of one half; false when a part is malformed or out of order.
template <std::size_t N>
bool ReadParts(std::string_view& text, const TDesignator (&parts)[N], double& seconds, bool& any)
{
    std::size_t next = 0;
    while (!text.empty() && text.front() != 'T') {
        const std::size_t letter = text.find_first_not_of("0123456789.");
        if (letter == 0 || letter == std::string_view::npos)
            return false;
        std::optional<double> amount = ParseSeconds(text.substr(0, letter));
        while (next < N && parts[next].Letter != text[letter])
            ++next;
        if (!amount || next == N)
            return false;
        seconds += *amount * parts[next++].Seconds;
        text.remove_prefix(letter + 1);
        any = true;
    }
    return true;
}

} // namespace

std::optional<double> ParseIsoDuration(std::string_view text)
{
    if (!text.starts_with('P'))
        return std::nullopt;
    text.remove_prefix(1);
    double seconds = 0;
    bool any = false;
    if (!ReadParts(text, kDateParts, seconds, any))
        return std::nullopt;
    if (text.starts_with('T')) {
        text.remove_prefix(1);
        bool anyTime = false;
        if (!ReadParts(text, kTimeParts, seconds, anyTime) || !anyTime)
            return std::nullopt;
        any = true;
    }
    if (!any || !text.empty() || seconds > kMaxSeconds)
        return std::nullopt;
    return seconds;
}

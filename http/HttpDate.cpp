#include "http/HttpDate.h"

#include "runtime/AsciiText.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<const char*, 7> kWeekdays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

// Anything longer is not a date; the limit keeps hostile headers cheap.
constexpr std::size_t kMaxDateLength = 128;

// Days since 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's
// days_from_civil).
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day)
{
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool IsDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

struct DateParts {
    int year = -1, month = -1, day = -1;
    int hour = -1, minute = -1, second = -1;
    int offsetSeconds = 0;
    bool failed = false;

    bool Complete() const { return year >= 0 && month >= 1 && day >= 1 && hour >= 0; }
};

int MonthNumber(std::string_view word)
{
    if (word.size() < 3)
        return 0;
    for (std::size_t i = 0; i < kMonths.size(); ++i)
        if (AsciiText::SameText(word.substr(0, 3), kMonths[i]))
            return static_cast<int>(i) + 1;
    return 0;
}

bool IsWeekday(std::string_view word)
{
    if (word.size() < 3)
        return false;
    for (const char* weekday : kWeekdays)
        if (AsciiText::SameText(word.substr(0, 3), weekday))
            return true;
    return false;
}

// "hh:mm" or "hh:mm:ss".
bool ReadTime(std::string_view token, DateParts& parts)
{
    int values[3] = {0, 0, 0};
    int count = 0;
    while (count < 3) {
        std::size_t colon = token.find(':');
        std::string_view field = token.substr(0, colon);
        if (!IsDigits(field) || field.size() > 2)
            return false;
        values[count++] = std::stoi(std::string(field));
        if (colon == std::string_view::npos)
            break;
        token.remove_prefix(colon + 1);
    }
    if (count < 2 || values[0] > 23 || values[1] > 59 || values[2] > 60)
        return false;
    parts.hour = values[0];
    parts.minute = values[1];
    parts.second = values[2];
    return true;
}

// "+hhmm" or "-hhmm" (also "+hh:mm").
bool ReadOffset(std::string_view token, DateParts& parts)
{
    if (token.size() < 2 || (token[0] != '+' && token[0] != '-'))
        return false;
    std::string digits;
    for (char c : token.substr(1))
        if (c != ':')
            digits += c;
    if (!IsDigits(digits) || (digits.size() != 4 && digits.size() != 2))
        return false;
    int hours = std::stoi(digits.substr(0, 2));
    int minutes = digits.size() == 4 ? std::stoi(digits.substr(2)) : 0;
    if (hours > 14 || minutes > 59)
        return false;
    int offset = hours * 3600 + minutes * 60;
    parts.offsetSeconds = token[0] == '-' ? -offset : offset;
    return true;
}

bool ReadZone(std::string_view token, DateParts& parts)
{
    for (std::string_view zone : {"GMT", "UTC", "UT", "Z"}) {
        if (token.size() >= zone.size() && AsciiText::SameText(token.substr(0, zone.size()), zone)) {
            std::string_view rest = token.substr(zone.size());
            if (rest.empty()) {
                parts.offsetSeconds = 0;
                return true;
            }
            return ReadOffset(rest, parts);
        }
    }
    return false;
}

void ReadNumber(std::string_view token, DateParts& parts)
{
    if (token.size() > 4) {
        parts.failed = true;
        return;
    }
    int value = std::stoi(std::string(token));
    if (parts.day < 0 && token.size() <= 2 && value >= 1 && value <= 31)
        parts.day = value;
    else if (parts.year < 0)
        parts.year = token.size() <= 2 ? (value < 70 ? 2000 + value : 1900 + value) : value;
    else
        parts.failed = true;
}

void ReadToken(std::string_view token, DateParts& parts);

// "06-Nov-94": the parts of an RFC 850 date, one by one.
void ReadDashedDate(std::string_view token, DateParts& parts)
{
    while (!token.empty()) {
        std::size_t dash = token.find('-');
        ReadToken(token.substr(0, dash), parts);
        if (dash == std::string_view::npos)
            break;
        token.remove_prefix(dash + 1);
    }
}

void ReadToken(std::string_view token, DateParts& parts)
{
    if (token.empty())
        return;
    if (token.find(':') != std::string_view::npos && token[0] != '+' && token[0] != '-') {
        if (!ReadTime(token, parts))
            parts.failed = true;
    } else if (token[0] == '+' || token[0] == '-') {
        if (!ReadOffset(token, parts))
            parts.failed = true;
    } else if (token.find('-') != std::string_view::npos) {
        ReadDashedDate(token, parts);
    } else if (IsDigits(token)) {
        ReadNumber(token, parts);
    } else if (int month = MonthNumber(token); month > 0 && parts.month < 0 && token.size() <= 9) {
        parts.month = month;
    } else if (!IsWeekday(token) && !ReadZone(token, parts)) {
        parts.failed = true;
    }
}

} // namespace

std::optional<std::int64_t> ParseHttpDate(std::string_view text)
{
    if (text.size() > kMaxDateLength)
        return std::nullopt;
    DateParts parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size() && !parts.failed; ++i) {
        if (i == text.size() || text[i] == ' ' || text[i] == ',' || text[i] == '\t') {
            ReadToken(text.substr(start, i - start), parts);
            start = i + 1;
        }
    }
    if (parts.failed || !parts.Complete() || parts.year < 1601 || parts.year > 9999 ||
        parts.day > DaysInMonth(parts.year, parts.month))
        return std::nullopt;
    std::int64_t days = DaysFromCivil(parts.year, parts.month, parts.day);
    return days * 86400 + parts.hour * 3600 + parts.minute * 60 + parts.second - parts.offsetSeconds;
}

std::string FormatHttpDate(std::int64_t utcSeconds)
{
    std::int64_t days = utcSeconds / 86400;
    std::int64_t secondOfDay = utcSeconds % 86400;
    if (secondOfDay < 0) {
        secondOfDay += 86400;
        --days;
    }
    // civil_from_days, the inverse of DaysFromCivil.
    std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(z - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned mp = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const unsigned month = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2);
    const int weekday = static_cast<int>(((days % 7) + 11) % 7); // 1970-01-01 was a Thursday

    char time[16];
    std::snprintf(time, sizeof time, "%.2d:%.2d:%.2d", static_cast<int>(secondOfDay / 3600),
                  static_cast<int>(secondOfDay / 60 % 60), static_cast<int>(secondOfDay % 60));
    char text[64];
    std::snprintf(text, sizeof text, "%s, %.2d %s %.4d %s %s", kWeekdays[weekday], static_cast<int>(day),
                  kMonths[month - 1], static_cast<int>(year), time, "GMT");
    return text;
}

std::int64_t NowUtcSeconds()
{
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

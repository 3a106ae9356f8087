#include "http/HttpDate.h"

#include <gtest/gtest.h>

namespace {

// 1994-11-06 08:49:37 UTC.
constexpr std::int64_t kSample = 784111777;

struct DateRow {
    const char* why;
    const char* text;
    std::optional<std::int64_t> expected;
};

const DateRow kDateRows[] = {
    {"RFC 1123", "Sun, 06 Nov 1994 08:49:37 GMT", kSample},
    {"RFC 850 with a two-digit year", "Sunday, 06-Nov-94 08:49:37 GMT", kSample},
    {"Netscape cookie form, four-digit year", "Sun, 06-Nov-1994 08:49:37 GMT", kSample},
    {"asctime, day padded with a blank", "Sun Nov  6 08:49:37 1994", kSample},
    {"numeric offset east of GMT", "Sun, 06 Nov 1994 09:49:37 +0100", kSample},
    {"numeric offset west of GMT", "Sun, 06 Nov 1994 03:49:37 -0500", kSample},
    {"GMT with an offset attached", "Sun, 06 Nov 1994 09:49:37 GMT+0100", kSample},
    {"UTC as the zone", "Sun, 06 Nov 1994 08:49:37 UTC", kSample},
    {"no zone means GMT", "06 Nov 1994 08:49:37", kSample},
    {"letter case of names does not count", "SUN, 06 NOV 1994 08:49:37 gmt", kSample},
    {"two-digit years below 70 are this century", "Thu, 01-Jan-37 00:00:00 GMT", 2114380800},
    {"leap day", "Thu, 29 Feb 2024 00:00:00 GMT", 1709164800},
    {"the epoch", "Thu, 01 Jan 1970 00:00:00 GMT", 0},
    {"before the epoch", "Wed, 31 Dec 1969 23:59:59 GMT", -1},
    // Unreadable dates.
    {"empty", "", std::nullopt},
    {"no time", "Sun, 06 Nov 1994", std::nullopt},
    {"no month", "Sun, 06 1994 08:49:37 GMT", std::nullopt},
    {"29 February of a common year", "Sat, 29 Feb 2023 00:00:00 GMT", std::nullopt},
    {"31 April", "31 Apr 2020 00:00:00 GMT", std::nullopt},
    {"hour 24", "Sun, 06 Nov 1994 24:00:00 GMT", std::nullopt},
    {"unknown word", "Sun, 06 Nov 1994 08:49:37 Mars", std::nullopt},
    {"a number as large as a year twice", "06 Nov 1994 2001 08:49:37", std::nullopt},
    {"overlong digits", "06 Nov 99999999999999999999 08:49:37", std::nullopt},
    {"a seconds count is not a date", "3600", std::nullopt},
};

TEST(HttpDate, ReadsTheFormsServersSend)
{
    for (const DateRow& row : kDateRows)
        EXPECT_EQ(ParseHttpDate(row.text), row.expected) << row.why << ": " << row.text;
}

TEST(HttpDate, RefusesOverlongText)
{
    EXPECT_EQ(ParseHttpDate(std::string(200, ' ') + "Sun, 06 Nov 1994 08:49:37 GMT"), std::nullopt);
}

TEST(HttpDate, FormatsRfc1123AndReadsItBack)
{
    EXPECT_EQ(FormatHttpDate(kSample), "Sun, 06 Nov 1994 08:49:37 GMT");
    EXPECT_EQ(FormatHttpDate(-1), "Wed, 31 Dec 1969 23:59:59 GMT");
    EXPECT_EQ(FormatHttpDate(1709164800), "Thu, 29 Feb 2024 00:00:00 GMT");
    for (std::int64_t t : {std::int64_t(0), kSample, std::int64_t(951782400), std::int64_t(4102444799)})
        EXPECT_EQ(ParseHttpDate(FormatHttpDate(t)), t) << t;
}

} // namespace

#include "stream/IsoDuration.h"

#include <gtest/gtest.h>

TEST(IsoDuration, ReadsDurationsAsManifestsWriteThem)
{
    const struct {
        const char* text;
        std::optional<double> seconds;
    } rows[] = {
        {"PT1H2M3.5S", 3723.5},
        {"PT0S", 0},
        {"PT634.566S", 634.566},
        {"P1DT12H", 129600},
        {"P2W", 1209600},
        {"P1M", 2592000}, // a month counts 30 days
        {"PT1M", 60},     // after the T, minutes
        {"PT90M", 5400},  // no carrying over required
        {"PT1.5H", 5400},
        // Not durations: no P, nothing told, a sign, parts out of order or
        // twice, a bare number, a T with nothing after it, an exponent.
        {"1H", std::nullopt},
        {"P", std::nullopt},
        {"PT", std::nullopt},
        {"-PT5S", std::nullopt},
        {"PT5S3M", std::nullopt},
        {"PT1M1M", std::nullopt},
        {"PT5", std::nullopt},
        {"P1DT", std::nullopt},
        {"PT1e3S", std::nullopt},
        {"PT.S", std::nullopt},
        // Beyond any presentation.
        {"P1000Y", std::nullopt},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ParseIsoDuration(row.text), row.seconds) << row.text;
}

#include "stream/StreamChoice.h"

#include <gtest/gtest.h>

namespace {

TStreamFormat Format(const char* id, std::optional<int> height, std::optional<std::int64_t> bandwidth)
{
    TStreamFormat format;
    format.Id = id;
    format.Height = height;
    format.Bandwidth = bandwidth;
    return format;
}

TAudioRendition Audio(const char* id, const char* group, const char* language, bool isDefault, bool apart = true)
{
    TAudioRendition audio;
    audio.Id = id;
    audio.Group = group;
    audio.Language = language;
    audio.Default = isDefault;
    if (apart)
        audio.Address = std::string("https://example.org/") + id + ".m3u8";
    return audio;
}

} // namespace

TEST(StreamChoice, ChoosesTheFormatOfEachPreference)
{
    const struct {
        const char* why;
        std::vector<TStreamFormat> formats;
        const char* largest;
        const char* nearest;
        const char* smallest;
    } rows[] = {
        {"heights, with two of 720 told apart by bandwidth",
         {Format("a", 720, 2'000'000), Format("b", 240, 300'000), Format("c", 720, 3'000'000),
          Format("d", 480, 900'000)},
         "c",
         "d",
         "b"},
        {"240 and 480 are as near 360: the taller", {Format("a", 240, 1), Format("b", 480, 2)}, "b", "b", "a"},
        {"one height twice: bandwidth decides, higher or lower",
         {Format("a", 360, 800), Format("b", 360, 500), Format("c", 360, 900)},
         "c",
         "c",
         "b"},
        {"formats without height are passed over while others tell theirs",
         {Format("a", std::nullopt, 9'000'000), Format("b", 1080, 5'000'000), Format("c", 360, 1'000'000)},
         "b",
         "c",
         "c"},
        {"no heights: by bandwidth, the middle one for nearest",
         {Format("a", std::nullopt, 3000), Format("b", std::nullopt, 1000), Format("c", std::nullopt, 2000)},
         "a",
         "c",
         "b"},
        {"no heights, an even count: the higher of the two middle ones",
         {Format("a", std::nullopt, 4000), Format("b", std::nullopt, 1000), Format("c", std::nullopt, 2000),
          Format("d", std::nullopt, 3000)},
         "a",
         "d",
         "b"},
        {"nothing told at all: the first", {Format("a", std::nullopt, std::nullopt)}, "a", "a", "a"},
        {"no formats", {}, nullptr, nullptr, nullptr},
    };
    for (const auto& row : rows) {
        const struct {
            TSizePreference preference;
            const char* expected;
        } choices[] = {{spLargest, row.largest}, {spNearest360, row.nearest}, {spSmallest, row.smallest}};
        for (const auto& choice : choices) {
            const TStreamFormat* chosen = ChooseFormat(row.formats, choice.preference);
            EXPECT_EQ(chosen ? chosen->Id : "", choice.expected ? choice.expected : "")
                << row.why << ", preference " << choice.preference.Rule;
        }
    }
}

TEST(StreamChoice, AHeightTakesTheNearestFormatTheSmallerOfTwoAsNear)
{
    const std::vector<TStreamFormat> ladder = {Format("1080", 1080, 5000), Format("720", 720, 3000),
                                               Format("480", 480, 1500), Format("360", 360, 800),
                                               Format("240", 240, 400)};
    const struct {
        std::vector<TStreamFormat> formats;
        int lines;
        const char* expected;
    } rows[] = {
        {ladder, 720, "720"},
        {ladder, 700, "720"},
        {ladder, 600, "480"}, // as near 480 as 720
        {ladder, 300, "240"}, // as near 240 as 360
        {ladder, 5000, "1080"},
        {ladder, 1, "240"},
        {{Format("a", 720, 1000), Format("b", 720, 2000)}, 700, "b"}, // one height: the higher bandwidth
        {{Format("a", std::nullopt, 9000), Format("b", 480, 1000)}, 1080, "b"},
        // No heights: the middle bandwidth, as for 360 lines.
        {{Format("a", std::nullopt, 3000), Format("b", std::nullopt, 1000), Format("c", std::nullopt, 2000)},
         1080,
         "c"},
    };
    for (const auto& row : rows) {
        const TStreamFormat* chosen = ChooseFormat(row.formats, NearestHeight(row.lines));
        EXPECT_EQ(chosen ? chosen->Id : "", row.expected) << row.lines;
    }
    // The quality buttons' 360 lines round up instead.
    EXPECT_EQ(ChooseFormat({Format("a", 240, 1), Format("b", 480, 2)}, NearestHeight(360))->Id, "a");
}

TEST(StreamChoice, ChoosesTheAudioOfAGroupAndLanguage)
{
    const std::vector<TAudioRendition> audio = {
        Audio("en", "aac", "en", true),
        Audio("es-latam", "aac", "es-419", false),
        Audio("es", "aac", "es-ES", true),
        Audio("de", "ac3", "de", false),
        Audio("fr", "ac3", "fr", false),
        Audio("main", "muxed", "en", true, false),
        Audio("commentary", "mixed", "en", false),
        Audio("inside", "mixed", "en", true, false),
    };
    const struct {
        const char* group;
        const char* language;
        const char* expected;
    } rows[] = {
        {"aac", "es", "es"},       // the group's default among two Spanish ones
        {"aac", "ES-es", "es"},    // any letter case, any region
        {"aac", "fr", "en"},       // no French: the default
        {"ac3", "it", "de"},       // no Italian, no default: the first
        {"ac3", "fr", "fr"},       // another group's default is no matter
        {"muxed", "en", nullptr},  // the video carries the group's only audio
        {"mixed", "de", "inside"}, // the default is the video's own audio
        {"none", "en", nullptr},   // a group nobody has
        {"", "de", "de"},          // no group: any
        {"", "", "en"},            // no language: the first default
    };
    for (const auto& row : rows) {
        const TAudioRendition* chosen = ChooseAudio(audio, row.group, row.language);
        EXPECT_EQ(chosen ? chosen->Id : "", row.expected ? row.expected : "") << row.group << " " << row.language;
    }
}

// The four patterns of the link resolution, used the way the click uses
// them: one object, modifiers switched by index, a new pattern per value.
#include "regex/TRegExpr.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

const char* const kRecord =
    "status=ok&author=rockband&keywords=live%2Cconcert%2Crock&length_seconds=212"
    "&fmt_list=22%2F1280x720%2F9%2F0%2F115%2C18%2F640x360%2F9%2F0%2F115"
    "&token=vjVQa1PpcFNqD9lLqC3vbxXpMZgD0B5CQyJxH3Gq9oM%3D&thumbnail_url=http%3A%2F%2Fi.ytimg.com"
    "%2Fvi%2FdQw4w9WgXcQ%2Fdefault.jpg&title=Rock+%26+Roll%3A+Live%21"
    "&fmt_map=22%2F2000000%2F9%2F0%2F115%2C18%2F512000%2F9%2F0%2F115&video_id=dQw4w9WgXcQ";

std::optional<std::string> Cut(TRegExpr& re, const std::string& pattern, const std::string& text)
{
    re.SetExpression(pattern);
    if (!re.Exec(text))
        return std::nullopt;
    return re.Capture(1);
}

} // namespace

TEST(LinkPatternTest, IdentifierOfTheFinalPageAddress)
{
    struct Row {
        const char* address;
        std::optional<std::string> identifier;
    };
    const std::vector<Row> rows = {
        {"http://www.youtube.com/watch?v=dQw4w9WgXcQ", "dQw4w9WgXcQ"},
        {"http://www.youtube.com/watch?v=abc&feature=xyz", "abc&feature=xyz"},
        {"http://www.youtube.com/watch?V=AbC_1-x", "AbC_1-x"},
        {"http://www.youtube.com/watch?feature=player&v=xyz", "xyz"},
        {"http://www.youtube.com/", std::nullopt},
    };
    for (const auto& row : rows) {
        TRegExpr re;
        re.SetModifier(rmIgnoreCase, true);
        re.SetModifier(rmGreedy, true);
        EXPECT_EQ(Cut(re, "v=(.*)", row.address), row.identifier) << row.address;
    }
}

TEST(LinkPatternTest, ValuesOfTheVideoInformationRecord)
{
    TRegExpr re;
    re.SetModifier(rmIgnoreCase, true);
    re.SetModifier(rmGreedy, true);
    EXPECT_EQ(Cut(re, "v=(.*)", "http://www.youtube.com/watch?v=dQw4w9WgXcQ"), "dQw4w9WgXcQ");

    re.SetExpression("&token=(.*)&");
    re.SetModifier(rmIgnoreCase, true);
    re.SetModifier(rmGreedy, false);
    ASSERT_TRUE(re.Exec(kRecord));
    EXPECT_EQ(re.Capture(1), "vjVQa1PpcFNqD9lLqC3vbxXpMZgD0B5CQyJxH3Gq9oM%3D");
    EXPECT_EQ(Cut(re, "&title=(.*)(&|$)", kRecord), "Rock+%26+Roll%3A+Live%21");
    EXPECT_EQ(Cut(re, "&fmt_map=(.*)&", kRecord), "22%2F2000000%2F9%2F0%2F115%2C18%2F512000%2F9%2F0%2F115");
}

TEST(LinkPatternTest, RecordsThatLackAValue)
{
    struct Row {
        const char* why;
        const char* pattern;
        const char* record;
        std::optional<std::string> value;
    };
    const std::vector<Row> rows = {
        {"the token as the last field has no closing '&'", "&token=(.*)&", "status=ok&token=abc", std::nullopt},
        {"no format list", "&fmt_map=(.*)&", "status=ok&token=abc&title=x", std::nullopt},
        {"the title as the last field", "&title=(.*)(&|$)", "status=ok&title=A%2BB", "A%2BB"},
        {"the field names in capitals", "&title=(.*)(&|$)", "a=1&TITLE=No.5&b=2", "No.5"},
        {"a field name inside a value is not a field", "&token=(.*)&", "x=%26token=no&token=yes&", "yes"},
    };
    for (const auto& row : rows) {
        TRegExpr re;
        re.SetModifier(rmIgnoreCase, true);
        re.SetModifier(rmGreedy, false);
        EXPECT_EQ(Cut(re, row.pattern, row.record), row.value) << row.why;
    }
}

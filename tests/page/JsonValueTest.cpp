#include "page/JsonValue.h"

#include <gtest/gtest.h>

TEST(JsonValue, ReadsEscapesAndMembersInOrder)
{
    auto value = ParseJson(R"( {"a": [1, -2.5e3, true, null], "s": "\"\\\/\u00e9\ud83c\udf0a\n", "a": 0} )");
    ASSERT_TRUE(value);
    ASSERT_EQ(value->Members.size(), 3u);
    EXPECT_EQ(value->Member("a")->Items.size(), 4u) << "the first of two members named alike";
    EXPECT_EQ(value->Member("a")->Items[1].Text, "-2.5e3");
    EXPECT_EQ(value->Member("s")->Text, "\"\\/\xc3\xa9\xf0\x9f\x8c\x8a\n");
}

TEST(JsonValue, RefusesWhatIsNoJson)
{
    for (const char* text : {"", "{", "[1,]", "{\"a\" 1}", "01x", "\"open", "\"\\x\"", "[1] 2", "- 1", "tru"})
        EXPECT_FALSE(ParseJson(text)) << text;
    std::string deep(kJsonDepthLimit, '[');
    EXPECT_TRUE(ParseJson(deep + std::string(kJsonDepthLimit, ']')));
    EXPECT_FALSE(ParseJson("[" + deep + std::string(kJsonDepthLimit + 1, ']'))) << "one level too deep";
}

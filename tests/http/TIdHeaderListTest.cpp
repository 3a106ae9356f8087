#include "http/TIdHeaderList.h"

#include <gtest/gtest.h>

namespace {

TIdHeaderList ListOf(std::initializer_list<const char*> lines)
{
    TIdHeaderList list;
    for (const char* line : lines)
        list.Add(line);
    return list;
}

TEST(TIdHeaderList, ReadsValuesByNameInAnyCase)
{
    TIdHeaderList list = ListOf({"Content-Type:  text/html ", "content-length: 5", "X-Empty:", "Broken line"});
    EXPECT_EQ(list.ValueOf("Content-Type"), "text/html");
    EXPECT_EQ(list.ValueOf("CONTENT-LENGTH"), "5");
    EXPECT_EQ(list.ValueOf("x-empty"), "");
    EXPECT_EQ(list.ValueOf("Broken line"), "");
    EXPECT_EQ(list.ValueOf("Missing"), "");
}

TEST(TIdHeaderList, FirstLineOfANameWinsAndCollectKeepsOrder)
{
    TIdHeaderList list = ListOf({"Set-Cookie: a=1", "Server: x", "set-cookie: b=2", "SET-COOKIE: c=3"});
    EXPECT_EQ(list.ValueOf("Set-Cookie"), "a=1");
    EXPECT_EQ(list.CollectValues("Set-cookie"), (std::vector<std::string>{"a=1", "b=2", "c=3"}));
}

TEST(TIdHeaderList, UnfoldsContinuationLines)
{
    TIdHeaderList list = ListOf({"X-Long: first ", "   second", "\tthird", "Next: n"});
    EXPECT_EQ(list.ValueOf("X-Long"), "first second third");
    EXPECT_EQ(list.ValueOf("Next"), "n");
    // A continuation line is never taken for a name of its own.
    list.Add(" Next: hidden");
    EXPECT_EQ(list.CollectValues("Next"), std::vector<std::string>{"n Next: hidden"});
}

TEST(TIdHeaderList, NameWithABlankBeforeTheColonIsNotFound)
{
    TIdHeaderList list = ListOf({"Location : /x"});
    EXPECT_EQ(list.ValueOf("Location"), "");
}

TEST(TIdHeaderList, SetValueOfReplacesInPlaceAppendsAndRemoves)
{
    TIdHeaderList list = ListOf({"Host: a", "Accept: b", "User-Agent: c"});
    list.SetValueOf("accept", "z");
    list.SetValueOf("Referer", "r");
    EXPECT_EQ(list.Text(), "Host: a\r\naccept: z\r\nUser-Agent: c\r\nReferer: r\r\n");
    list.SetValueOf("Host", "");
    EXPECT_EQ(list.Text(), "accept: z\r\nUser-Agent: c\r\nReferer: r\r\n");
}

TEST(TIdHeaderList, ReplacingAFoldedValueTakesItsContinuationLinesAway)
{
    TIdHeaderList list(20);
    list.SetValueOf("Cookie", "aaaa=1; bbbb=2; cccc=3; dddd=4");
    list.SetValueOf("Host", "h");
    ASSERT_GT(list.Count(), 2u);
    list.SetValueOf("Cookie", "e=5");
    EXPECT_EQ(list.Text(), "Cookie: e=5\r\nHost: h\r\n");
}

struct FoldRow {
    const char* why;
    std::string line;
    std::size_t length;
    std::vector<std::string> expected;
};

TEST(TIdHeaderList, FoldsLongLines)
{
    const FoldRow rows[] = {
        {"short enough", "Name: value", 78, {"Name: value"}},
        {"exactly the length", "Name: 12345", 11, {"Name: 12345"}},
        {"breaks after the last blank within the length", "Name: aaa bbb ccc", 13, {"Name: aaa", " bbb ccc"}},
        {"keeps the comma, drops the blanks after it", "Name: a,  b,c", 10, {"Name: a,", " b,c"}},
        {"never inside double quotes", "Name: \"a b c d\" e", 14, {"Name:", " \"a b c d\" e"}},
        {"nothing to break at", "Name:abcdefghijkl", 8, {"Name:abcdefghijkl"}},
        {"several continuation lines", "X: aa bb cc dd", 6, {"X: aa", " bb", " cc dd"}},
    };
    for (const FoldRow& row : rows) {
        EXPECT_EQ(TIdHeaderList::FoldLine(row.line, row.length), row.expected) << row.why;
    }
}

} // namespace

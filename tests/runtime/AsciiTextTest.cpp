#include "runtime/AsciiText.h"

#include <gtest/gtest.h>

#include <limits>

using namespace AsciiText;

namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

} // namespace

TEST(AsciiTextNumbers, ParseAtTheEdgesOf64Bits)
{
    struct Row {
        const char* text;
        std::optional<std::int64_t> value;
        const char* why;
    } rows[] = {
        {"9223372036854775807", kMax, "the largest value"},
        {"9223372036854775808", std::nullopt, "one beyond it"},
        {"-9223372036854775808", kMin, "the smallest value has no positive twin"},
        {"-9223372036854775809", std::nullopt, "one below it"},
        {"99999999999999999999999", std::nullopt, "beyond 64 bits without wrapping round"},
        {" +42\r\n", 42, "sign and blanks around"},
        {"4 2", std::nullopt, "a blank inside"},
        {"-", std::nullopt, "a sign without digits"},
        {"", std::nullopt, "nothing"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ToInt64(row.text), row.value) << row.why;

    EXPECT_EQ(ToInt32("2147483648"), std::nullopt);
    EXPECT_EQ(HexToInt64(" 7fffffffffffffff "), kMax);
    EXPECT_EQ(HexToInt64("8000000000000000"), std::nullopt) << "beyond the signed range";
    EXPECT_EQ(ParseUnsigned("ffffffffffffffff", 16), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(ParseUnsigned("10000000000000000", 16), std::nullopt);
    EXPECT_EQ(ParseUnsigned("1a"), std::nullopt) << "a hexadecimal digit in a decimal number";
    EXPECT_EQ(ParseUnsigned("+1"), std::nullopt) << "the strict parser takes no sign";
}

TEST(AsciiTextPlaceholders, FillInOrderAndNeverInsideAnArgument)
{
    EXPECT_EQ(FillPlaceholders("%s of %s bytes", {"3", "10"}), "3 of 10 bytes");
    EXPECT_EQ(FillPlaceholders("code %s (in %s)", {"%s", "x"}), "code %s (in x)");
    EXPECT_EQ(FillPlaceholders("%s and %s", {"one"}), "one and %s");
    EXPECT_EQ(FillPlaceholders("none", {"left over"}), "none");
}

TEST(AsciiTextLists, SplitAtAnySeparatorAndDropEmptyPieces)
{
    EXPECT_EQ(SplitList("http=web:8080  ftp=files:21;;proxy", " ;"),
              (std::vector<std::string>{"http=web:8080", "ftp=files:21", "proxy"}));
    EXPECT_TRUE(SplitList(";; ;", " ;").empty());
}

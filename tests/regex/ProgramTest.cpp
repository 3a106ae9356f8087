// The compiled program as a byte format, and the search hints derived from it.
#include "regex/TRegExpr.h"

#include "regex/RegExprProgram.h"

#include <gtest/gtest.h>

#include <vector>

using namespace regexpr;

namespace {

// Compiles `pattern` (a search triggers the compile) and returns its bytes.
std::vector<uint8_t> Compiled(TRegExpr& re, const std::string& pattern)
{
    re.SetExpression(pattern);
    re.Exec("");
    const auto bytes = re.ProgramBytes();
    return {bytes.begin(), bytes.end()};
}

std::vector<uint8_t> Node(uint8_t op, int32_t next)
{
    const auto bits = static_cast<uint32_t>(next);
    return {op, uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16), uint8_t(bits >> 24)};
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::string FirstChars(const TRegExpr& re)
{
    std::string chars;
    for (int c = 0; c < 256; ++c) {
        if (re.Hints().firstChars.Has(uint8_t(c)))
            chars += char(c);
    }
    return chars;
}

} // namespace

TEST(ProgramTest, IdentifierPatternCompilesByteForByte)
{
    TRegExpr re;
    re.SetModifier(rmIgnoreCase, true);
    const auto expected = Concat({
        {kCheckByte},
        Node(ALTERNATIVE, 38), // 1: the single top-level alternative
        Node(LITERAL_CI, 8),
        {'v', '=', 0},         // 6
        Node(OPEN_1, 5),       // 14
        Node(ALTERNATIVE, 15), // 19: the group's single alternative
        Node(STAR, 10),        // 24
        Node(ANY_CHAR, 0),     // 29: the repeated node
        Node(CLOSE_1, 5),      // 34
        Node(MATCH_END, 0),    // 39
    });
    EXPECT_EQ(Compiled(re, "v=(.*)"), expected);
    EXPECT_EQ(FirstChars(re), "Vv");
    EXPECT_EQ(re.Hints().startChar, 0);
    EXPECT_FALSE(re.Hints().anchored);
    EXPECT_TRUE(re.Hints().requiredLiteral.empty());
}

TEST(ProgramTest, NodeLayoutsOfQuantifiersAndClasses)
{
    struct Row {
        const char* why;
        const char* pattern;
        bool greedy;
        std::vector<uint8_t> expected;
    };
    const std::vector<Row> rows = {
        {"g off makes '*' over any character non-greedy", "(.*)", false,
         Concat({{kCheckByte},
                 Node(ALTERNATIVE, 30),
                 Node(OPEN_1, 5),
                 Node(ALTERNATIVE, 15),
                 Node(STAR_NG, 10),
                 Node(ANY_CHAR, 0),
                 Node(CLOSE_1, 5),
                 Node(MATCH_END, 0)})},
        {"braces over one character carry min and max", "a{2,3}", true,
         Concat({{kCheckByte},
                 Node(ALTERNATIVE, 25),
                 Node(BRACES, 20),
                 {2, 0, 0, 0, 3, 0, 0, 0},
                 Node(LITERAL, 0),
                 {'a', 0},
                 Node(MATCH_END, 0)})},
        {"a class of up to three members is padded with the highest", "[ba]", true,
         Concat({{kCheckByte}, Node(ALTERNATIVE, 13), Node(ONE_OF_3, 8), {'a', 'b', 'b'}, Node(MATCH_END, 0)})},
        {"greedy '?' over a group is an optional alternative", "(a)?", true,
         Concat({{kCheckByte},
                 Node(ALTERNATIVE, 42),
                 Node(ALTERNATIVE, 27), // 6: try the group
                 Node(OPEN_1, 5),
                 Node(ALTERNATIVE, 12),
                 Node(LITERAL, 7),
                 {'a', 0},
                 Node(CLOSE_1, 10),    // 28: on to the EMPTY
                 Node(ALTERNATIVE, 5), // 33: else nothing
                 Node(EMPTY, 5),       // 38
                 Node(MATCH_END, 0)})},
        {"non-greedy '+' over a group is a counted loop", "(a)+?", true,
         Concat({{kCheckByte},
                 Node(ALTERNATIVE, 49),
                 Node(LOOPENTRY, 27),
                 Node(OPEN_1, 5),
                 Node(ALTERNATIVE, 12),
                 Node(LITERAL, 7),
                 {'a', 0},
                 Node(CLOSE_1, 5),
                 // 33: min 1, max 2147483646, body at 33 - 22
                 Node(LOOP_NG, 17),
                 {1, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0x7F},
                 {0xEA, 0xFF, 0xFF, 0xFF},
                 Node(MATCH_END, 0)})},
    };
    for (const auto& row : rows) {
        TRegExpr re;
        re.SetModifier(rmGreedy, row.greedy);
        EXPECT_EQ(Compiled(re, row.pattern), row.expected) << row.why;
    }
}

TEST(ProgramTest, SearchHints)
{
    struct Row {
        const char* why;
        const char* pattern;
        bool caseInsensitive;
        std::string firstChars; // "all": every code
        char startChar;
        bool anchored;
        const char* requiredLiteral;
    };
    using namespace std::string_literals;
    const std::vector<Row> rows = {
        {"a case-sensitive literal first gives the start character", "abc", false, "a", 'a', false, ""},
        {"'^' anchors", "^ab", false, "a", 0, true, ""},
        {"a leading repeat asks for the longest literal", "x*ab(c)def", false, "ax", 0, false, "def"},
        {"equal lengths take the later literal", "a*bc.de", false, "ab", 0, false, "de"},
        {"case-insensitive literals give no hints", "a*bc", true, "ABab", 0, false, ""},
        {"two top-level alternatives give no start character", "ab|cd", false, "ac", 0, false, ""},
        {"'$' may begin at the subject end", "$", false, "\0"s, 0, false, ""},
        {"'.' may begin anywhere", "(.)", false, "all", 0, false, ""},
        {"an optional piece lets the next one begin", "a?b", false, "ab", 0, false, ""},
        {"a digit class", "\\d+", false, "0123456789", 0, false, ""},
    };
    for (const auto& row : rows) {
        TRegExpr re;
        re.SetModifier(rmIgnoreCase, row.caseInsensitive);
        Compiled(re, row.pattern);
        if (row.firstChars == "all")
            EXPECT_EQ(re.Hints().firstChars.Count(), 256) << row.why;
        else
            EXPECT_EQ(FirstChars(re), row.firstChars) << row.why;
        EXPECT_EQ(re.Hints().startChar, uint8_t(row.startChar)) << row.why;
        EXPECT_EQ(re.Hints().anchored, row.anchored) << row.why;
        EXPECT_EQ(std::string(re.Hints().requiredLiteral), row.requiredLiteral) << row.why;
    }
}

// A zero-width body under a non-greedy '?' loops back to its own LOOP node;
// the first-character walk must still end.
TEST(ProgramTest, HintWalkEndsOnLoopsWithoutWidth)
{
    TRegExpr re;
    re.SetModifier(rmGreedy, false);
    re.SetExpression("(\\b)?x");
    EXPECT_TRUE(re.Exec("a x"));
    EXPECT_EQ(re.Capture(0), "x");
    EXPECT_EQ(FirstChars(re), "x");
}

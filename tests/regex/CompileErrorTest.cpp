// Errors: numbers, texts and positions, and the object's state after them.
#include "regex/TRegExpr.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Compiles by searching; returns the error raised (number -1 when none).
ERegExpr CompileError(const std::string& pattern)
{
    TRegExpr re;
    re.SetExpression(pattern);
    try {
        re.Exec("subject");
    } catch (const ERegExpr& error) {
        return error;
    }
    return ERegExpr("", -1, -1);
}

} // namespace

TEST(CompileErrorTest, NumbersAndPositions)
{
    struct Row {
        const char* why;
        std::string pattern;
        int number;
        int position;
    };
    const std::vector<Row> rows = {
        // Quantifiers.
        {"a quantifier with nothing before it", "*a", 115, 1},
        {"'+' at the start", "+", 115, 1},
        {"braces maximum below the minimum", "a{2,1}", 124, 5},
        {"braces after braces", "a{2}{3}", 107, 4},
        {"a star after a star", "a**", 107, 2},
        {"'?' after a non-greedy star", "a*??", 107, 3},
        {"a star over a group that can be empty", "(a*)*", 106, 4},
        {"a plus over an empty group", "()+", 106, 2},
        {"one branch without width", "(a|)*", 106, 4},
        {"braces that can match nothing, repeated", "(a{0,2})*", 106, 8},
        {"braces over an empty group", "(){1}", 106, 2},
        {"a nine-digit braces count", "a{123456789}", 122, 11},
        // Groups.
        {"a fifteenth group", std::string(15, '(') + "a" + std::string(15, ')'), 102, 15},
        {"an unclosed group", "(a", 103, 2},
        {"a stray closing parenthesis", "a)", 104, 1},
        {"an unclosed comment", "(?#abc", 125, 6},
        {"a modifier group with a colon", "(?i:x)", 127, 4},
        {"an unknown modifier letter", "(?q)", 127, 3},
        {"an unclosed modifier group", "(?i", 127, 3},
        // Classes and escapes.
        {"a reversed range", "[z-a]", 109, 4},
        {"an unclosed class", "[abc", 113, 4},
        {"a class ending in a backslash", "[a\\", 110, 3},
        {"a pattern ending in a backslash", "a\\", 116, 2},
        {"a hex code above 255", "\\x{100}", 112, 6},
        {"one hex digit at the end", "\\x4", 111, 3},
        {"nothing after \\x", "\\x", 111, 2},
        {"an unclosed \\x{", "\\x{4", 111, 4},
        {"a letter that is no hex digit", "\\xg1", 108, 3},
        {"a pattern beyond 16 MiB", std::string((1 << 24) + 1, 'a'), 129, 0},
        {"a reversed range in code page 1251 without r", "(?-r)[\\xe0-\\xdf]", 109, 15},
    };
    for (const auto& row : rows) {
        TRegExpr re;
        const ERegExpr error = CompileError(row.pattern);
        EXPECT_EQ(error.ErrorNumber(), row.number) << row.why;
        EXPECT_EQ(error.ErrorPosition(), row.position) << row.why;
        EXPECT_EQ(error.Message(), re.ErrorText(row.number) + " (pos " + std::to_string(row.position) + ")") << row.why;
    }
}

TEST(CompileErrorTest, BracesThatAreNoQuantifierAreLiterals)
{
    struct Row {
        const char* pattern;
        const char* subject;
        const char* match;
    };
    const std::vector<Row> rows = {
        {"a{x}", "ba{x}", "a{x}"},
        {"a{,3}", "a{,3}", "a{,3}"},
        {"{2}", "x{2}", "{2}"},
        {"a{2", "aa{2", "a{2"},
    };
    for (const auto& row : rows) {
        TRegExpr re;
        re.SetExpression(row.pattern);
        ASSERT_TRUE(re.Exec(row.subject)) << row.pattern;
        EXPECT_EQ(re.Capture(0), row.match) << row.pattern;
    }
}

TEST(CompileErrorTest, TextsOfTheMessageTable)
{
    TRegExpr re;
    EXPECT_EQ(CompileError("*a").Message(), "TRegExpr(comp): ?+*{ Follows Nothing (pos 1)");
    EXPECT_EQ(re.ErrorText(0), "No errors");
    EXPECT_EQ(re.ErrorText(104), re.ErrorText(103));
    EXPECT_EQ(re.ErrorText(110), "TRegExpr(comp): Parse Atom Trailing \\");
    EXPECT_EQ(re.ErrorText(1015), "TRegExpr(exec): Loop Without LoopEntry !");
    EXPECT_EQ(re.ErrorText(1016), "TRegExpr(exec): Backtrack Stack Exceeded");
    EXPECT_EQ(re.ErrorText(1013), "Unknown error");
    EXPECT_EQ(re.ErrorText(-1), "Unknown error");
}

TEST(CompileErrorTest, SettingErrors)
{
    TRegExpr re;
    try {
        re.SetLinePairedSeparator("aa");
        FAIL() << "two equal characters were accepted";
    } catch (const ERegExpr& error) {
        EXPECT_EQ(error.ErrorNumber(), 128);
        EXPECT_EQ(error.ErrorPosition(), 0);
        EXPECT_EQ(error.Message(), re.ErrorText(128) + " (pos 0)");
    }
    EXPECT_THROW(re.SetLinePairedSeparator("abc"), ERegExpr);
    EXPECT_EQ(re.LinePairedSeparator(), "\r\n");
    re.SetLinePairedSeparator("");
    EXPECT_EQ(re.LinePairedSeparator(), "");

    for (int index : {0, 7, -1}) {
        try {
            re.SetModifier(index, true);
            FAIL() << "modifier index " << index << " was accepted";
        } catch (const ERegExpr& error) {
            EXPECT_EQ(error.ErrorNumber(), 1013);
            EXPECT_EQ(error.Message(), "Unknown error");
            EXPECT_EQ(re.LastError(), 1013);
        }
        EXPECT_THROW(re.Modifier(index), ERegExpr);
    }
}

TEST(CompileErrorTest, SearchErrorsCarryNoPosition)
{
    struct Row {
        const char* why;
        std::function<void(TRegExpr&)> act;
        int number;
    };
    const std::vector<Row> rows = {
        {"a search before any pattern", [](TRegExpr& re) { re.Exec("a"); }, 1003},
        {"a search without a subject",
         [](TRegExpr& re) {
             re.SetExpression("a");
             re.ExecPos(1);
         },
         1005},
        {"offset 0",
         [](TRegExpr& re) {
             re.SetExpression("a");
             re.Exec("a");
             re.ExecPos(0);
         },
         1006},
        {"eleven counted loops open at once",
         [](TRegExpr& re) {
             re.SetExpression(std::string(11, '(') + "a" + [] {
                 std::string closers;
                 for (int i = 0; i < 11; ++i)
                     closers += ")+?";
                 return closers;
             }());
             re.Exec("a");
         },
         1014},
    };
    for (const auto& row : rows) {
        TRegExpr re;
        try {
            row.act(re);
            ADD_FAILURE() << row.why << ": no error";
        } catch (const ERegExpr& error) {
            EXPECT_EQ(error.ErrorNumber(), row.number) << row.why;
            EXPECT_EQ(error.ErrorPosition(), 0) << row.why;
            EXPECT_EQ(error.Message(), re.ErrorText(row.number)) << row.why;
        }
    }
}

TEST(CompileErrorTest, AFailedCompileLeavesNoProgramAndFailsAgain)
{
    TRegExpr re;
    re.SetExpression("(a");
    EXPECT_THROW(re.Exec("a"), ERegExpr);
    EXPECT_TRUE(re.ProgramBytes().empty());
    EXPECT_EQ(re.Expression(), "(a");
    EXPECT_THROW(re.Exec("a"), ERegExpr);
    EXPECT_EQ(re.LastError(), 103);
    re.SetExpression("(a)");
    EXPECT_TRUE(re.Exec("a"));
}

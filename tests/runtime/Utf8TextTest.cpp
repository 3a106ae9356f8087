#include "runtime/Utf8Text.h"

#include <gtest/gtest.h>

TEST(Utf8Text, EachIllFormedSequenceBecomesOneReplacementCharacter)
{
    const std::string r = "\xef\xbf\xbd"; // U+FFFD
    const struct {
        std::string bytes;
        std::string valid;
    } rows[] = {
        // Well-formed text stays as it is, up to the largest value.
        {"Caf\xc3\xa9 \xe2\x80\x93 \xf0\x9f\x8c\x8a", "Caf\xc3\xa9 \xe2\x80\x93 \xf0\x9f\x8c\x8a"},
        {"\xf4\x8f\xbf\xbf", "\xf4\x8f\xbf\xbf"}, // U+10FFFF
        {"\xed\x9f\xbf", "\xed\x9f\xbf"},         // U+D7FF, just below the surrogates
        {std::string("a\0b", 3), std::string("a\0b", 3)},
        // Bytes that open nothing.
        {"a\xff"
         "b",
         "a" + r + "b"},
        {"\x80\xbf", r + r},                 // continuation bytes on their own
        {"\xc0\xaf", r + r},                 // C0 and C1 only ever open overlong forms
        {"\xf5\x80\x80\x80", r + r + r + r}, // above U+10FFFF from the lead on
        // Sequences cut short stand for one character, up to the byte that
        // breaks them.
        {"\xe2\x80"
         "a",
         r + "a"},
        {"\xf0\x9f\x8c", r}, // at the end of the text
        {"\xe2\x80\xe2\x80\x93", r + "\xe2\x80\x93"},
        // The second byte rules out overlong forms, surrogates and values
        // above U+10FFFF.
        {"\xe0\x80\xaf", r + r + r},
        {"\xed\xa0\x80", r + r + r}, // U+D800
        {"\xf0\x80\x80\xaf", r + r + r + r},
        {"\xf4\x90\x80\x80", r + r + r + r},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ValidUtf8(row.bytes), row.valid) << testing::PrintToString(row.bytes);
}

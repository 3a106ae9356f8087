#include "i18n/Utf8.h"
#include "runtime/Exception.h"

#include <gtest/gtest.h>

TEST(Utf8, EncodesEachUnitInOneToThreeBytesAndDecodesBack)
{
    struct TCase {
        std::u16string text;
        std::string bytes;
    } cases[] = {
        {u"", ""},
        {u"Close", "Close"},
        {u"Tama\u00f1o", "Tama\xc3\xb1o"},
        {u"\u07ff\u0800\uffff", "\xdf\xbf\xe0\xa0\x80\xef\xbf\xbf"},
        {u"\u20ac", "\xe2\x82\xac"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Utf8Encode(c.text), c.bytes);
        EXPECT_EQ(Utf8Decode(c.bytes), c.text);
    }
}

TEST(Utf8, DecoderRefusesBadInputWithItsThreeTexts)
{
    const std::string invalid = "Invalid byte sequence encountered in utf-8 string";
    const std::string tooLarge = "Utf-8 string contained unicode character larger than $FFFF. This is not supported.";
    const std::string truncated = "Utf-8 string terminated unexpectedly in the middle of a multibyte sequence";
    struct TCase {
        const char* why;
        std::string bytes;
        const std::string& message;
    } cases[] = {
        {"byte 0xFF", "a\xff", invalid},
        {"byte 0xFE", "\xfe", invalid},
        {"stray continuation byte", "a\x80", invalid},
        {"new lead byte inside a sequence", "\xc3\xc3\xb1", invalid},
        {"ASCII inside a sequence", "\xe2\x82z", invalid},
        {"four-byte character above 0xFFFF", "\xf0\x9f\x98\x80", tooLarge},
        {"six-byte lead accepted, value too large", "\xfc\x84\x80\x80\x80\x80", tooLarge},
        {"ends inside a two-byte sequence", "ab\xc3", truncated},
        {"ends inside a three-byte sequence", "\xe2\x82", truncated},
    };
    for (const TCase& c : cases) {
        try {
            Utf8Decode(c.bytes);
            ADD_FAILURE() << c.why << ": accepted";
        } catch (const Exception& error) {
            EXPECT_EQ(error.Message(), c.message) << c.why;
        }
    }
    // Longer sequences whose value fits in 16 bits are accepted.
    EXPECT_EQ(Utf8Decode("\xf0\x80\x81\x81"), u"A");
}

TEST(Utf8, SystemCodePageConversionNeverFails)
{
    EXPECT_EQ(AnsiToWide("Espa\xc3\xb1ol"), u"Espa\u00f1ol");
    EXPECT_EQ(AnsiToWide("a\xff"
                         "b"),
              u"a\ufffd"
              "b");
    EXPECT_EQ(AnsiToWide("\xc3"), u"\ufffd");
    EXPECT_EQ(AnsiToWide("\xf0\x9f\x98\x80"), u"\U0001F600");
    EXPECT_EQ(WideToAnsi(u"\U0001F600 \u00f1"), "\xf0\x9f\x98\x80 \xc3\xb1");
}

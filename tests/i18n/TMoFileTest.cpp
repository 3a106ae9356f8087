#include "MoBuilder.h"

#include "i18n/EGnuGettext.h"
#include "i18n/TMoFile.h"
#include "runtime/TFileStream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

test::TEntries NumberedEntries(std::size_t count)
{
    test::TEntries entries;
    if (count > 0)
        entries.push_back({"", "Content-Type: text/plain; charset=UTF-8\n"});
    for (std::size_t i = 1; i < count; ++i) {
        char msgid[32];
        std::snprintf(msgid, sizeof msgid, "msg%05zu", i);
        entries.push_back({msgid, std::string("tr ") + msgid});
    }
    return entries;
}

std::string Lookup(const TMoFile& mo, const std::string& msgid, bool& found)
{
    return mo.Lookup(msgid, found);
}

} // namespace

// Every entry is found, in both byte orders, for the sizes where the uniform
// search has its edges (0, 1, 2, 3), the size of the shipped catalogue and a
// few hundred; texts between and around the entries are not found.
TEST(TMoFile, FindsEveryEntryAndNothingElseInBothByteOrders)
{
    for (bool bigEndian : {false, true}) {
        for (std::size_t count : {0, 1, 2, 3, 4, 5, 7, 8, 9, 27, 28, 300, 513}) {
            SCOPED_TRACE("count " + std::to_string(count) + (bigEndian ? " big-endian" : " little-endian"));
            test::TEntries entries = NumberedEntries(count);
            TMoFile mo("numbered.mo", test::MoBytes(entries, bigEndian));
            EXPECT_EQ(mo.Count(), count);
            EXPECT_EQ(mo.LittleEndian(), !bigEndian);
            bool found = false;
            for (const auto& [msgid, msgstr] : entries) {
                EXPECT_EQ(Lookup(mo, msgid, found), msgstr);
                EXPECT_TRUE(found) << msgid;
                EXPECT_EQ(Lookup(mo, msgid + "x", found), msgid + "x");
                EXPECT_FALSE(found) << msgid << "x";
            }
            for (const char* absent : {"", "a", "msg", "zzz", "\xff"}) {
                if (count > 0 && std::string(absent).empty())
                    continue;
                EXPECT_EQ(Lookup(mo, absent, found), absent);
                EXPECT_FALSE(found) << absent;
            }
        }
    }
}

// Bytes compare unsigned, and a prefix sorts before the longer text.
TEST(TMoFile, ComparesAsUnsignedBytesWithPrefixesFirst)
{
    test::TEntries entries = {{"", "h"}, {"ab", "1"}, {"abc", "2"}, {"ab\x7f", "3"}, {"ab\xc3\xa9", "4"}};
    std::sort(entries.begin(), entries.end());
    TMoFile mo("bytes.mo", test::MoBytes(entries));
    bool found = false;
    for (const auto& [msgid, msgstr] : entries) {
        EXPECT_EQ(Lookup(mo, msgid, found), msgstr);
        EXPECT_TRUE(found);
    }
}

TEST(TMoFile, ReadsAPartOfAFileOrTheWholeFile)
{
    std::string folder = test::MakeTempFolder();
    std::string catalogue = test::MoBytes({{"", "header"}, {"Close", "Cerrar"}});
    test::WriteFile(folder + "whole.mo", catalogue);
    test::WriteFile(folder + "inside.bin", "0123456789" + catalogue + "tail");
    bool found = false;

    TMoFile whole(folder + "whole.mo", 0, 0);
    EXPECT_EQ(whole.Lookup("Close", found), "Cerrar");
    TMoFile inside(folder + "inside.bin", 10, static_cast<std::int64_t>(catalogue.size()));
    EXPECT_EQ(inside.Lookup("Close", found), "Cerrar");

    // A part that reaches past the end of the file is refused before reading.
    EXPECT_THROW(TMoFile(folder + "inside.bin", 10, 1 << 20), EGGIOError);
    EXPECT_THROW(TMoFile(folder + "missing.mo", 0, 0), EFOpenError);
    test::RemoveFolder(folder);
}

TEST(TMoFile, WrongMagicNumberNamesTheFile)
{
    std::string bytes = test::MoBytes({{"", "h"}});
    bytes[0] = 'X';
    try {
        TMoFile mo("/somewhere/default.mo", bytes);
        FAIL() << "no exception";
    } catch (const EGGIOError& error) {
        EXPECT_EQ(error.Message(), "This file is not a valid GNU gettext mo file: /somewhere/default.mo");
    }
}

// Damage that would make a lookup read outside the data is found at load.
TEST(TMoFile, RefusesTruncatedAndCorruptCatalogues)
{
    const std::string good = test::MoBytes({{"", "header"}, {"Close", "Cerrar"}, {"Open", "Abrir"}});
    auto withWord = [&](std::size_t at, std::uint32_t value) {
        std::string bytes = good;
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        return bytes;
    };
    struct TCase {
        const char* why;
        std::string bytes;
    } cases[] = {
        {"empty file", ""},
        {"shorter than the magic number", good.substr(0, 3)},
        {"header cut short", good.substr(0, 20)},
        {"string data cut off", good.substr(0, good.size() - 3)},
        {"tables cut off", good.substr(0, 40)},
        {"count far too large", withWord(8, 0x10000000)},
        {"count near the 32-bit limit", withWord(8, 0xFFFFFFFF)},
        {"msgid table outside", withWord(12, 0xFFFFFFF0)},
        {"translation table outside", withWord(16, static_cast<std::uint32_t>(good.size()))},
        {"string length past the end", withWord(28 + 8, 0xFFFFFFFF)},
        {"string offset past the end", withWord(28 + 12, static_cast<std::uint32_t>(good.size()))},
        {"translation offset wraps", withWord(28 + 24 + 4, 0xFFFFFFFF)},
    };
    for (const TCase& c : cases) {
        try {
            TMoFile mo("damaged.mo", c.bytes);
            ADD_FAILURE() << c.why << ": accepted";
        } catch (const EGGIOError& error) {
            EXPECT_NE(error.Message().find("damaged.mo"), std::string::npos) << c.why;
        }
    }
}

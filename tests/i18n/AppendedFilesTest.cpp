#include "MoBuilder.h"

#include "i18n/AppendedFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Built from two pieces so that this program does not carry the signature
// twice (the build tool appends the catalogues to it as well).
const std::string kSignature = std::string("6637DB2E-62E1-4A60") + "-AC19-C23867046A89";

std::string LittleEndian64(std::uint64_t value)
{
    std::string bytes(8, '\0');
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

std::uint64_t ReadLittleEndian64(const std::string& bytes, std::size_t at)
{
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

int RunTool(const std::string& arguments)
{
    return std::system((std::string(SKERROW_APPEND_TOOL) + " " + arguments + " 2>/dev/null").c_str());
}

class AppendedFiles : public ::testing::Test {
protected:
    void SetUp() override { folder_ = test::MakeTempFolder(); }
    void TearDown() override { test::RemoveFolder(folder_); }
    std::string folder_;
};

} // namespace

TEST_F(AppendedFiles, ToolLaysOutContentsThenEntriesAndPatchesTheOffset)
{
    const std::string program = "\x7f"
                                "ELF code " +
        kSignature + std::string(8, '\0') + " more code";
    test::WriteFile(folder_ + "program", program);
    test::WriteFile(folder_ + "es.mo", "spanish catalogue");
    test::WriteFile(folder_ + "empty", "");
    ASSERT_EQ(RunTool(folder_ + "program 'LOCALE\\ES\\LC_MESSAGES\\default.mo=" + folder_ +
                      "es.mo' 'x\\empty=" + folder_ + "empty'"),
              0);

    std::string built = test::ReadFile(folder_ + "program");
    std::size_t slot = built.find(kSignature) + kSignature.size();
    std::uint64_t directory = ReadLittleEndian64(built, slot);
    EXPECT_EQ(directory, program.size() + 17);
    EXPECT_EQ(built.size(), directory + 2 * 256 + 8);
    EXPECT_EQ(built.substr(built.size() - 8), std::string(8, '\0'));

    auto files = ScanAppendedFiles(folder_ + "program", directory);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].first, "LOCALE\\ES\\LC_MESSAGES\\default.mo");
    EXPECT_EQ(built.substr(files[0].second.Offset, files[0].second.Size), "spanish catalogue");
    EXPECT_EQ(files[1].first, "x\\empty");
    EXPECT_EQ(files[1].second.Size, 0);

    // A second run would bury the first directory: it is refused.
    EXPECT_NE(RunTool(folder_ + "program 'a=" + folder_ + "es.mo'"), 0);
    EXPECT_EQ(test::ReadFile(folder_ + "program"), built);
}

TEST_F(AppendedFiles, ToolRefusesAProgramWithoutOrWithTwoSignatures)
{
    test::WriteFile(folder_ + "es.mo", "x");
    test::WriteFile(folder_ + "none", "no signature here");
    test::WriteFile(folder_ + "two", kSignature + std::string(8, '\0') + kSignature + std::string(8, '\0'));
    EXPECT_NE(RunTool(folder_ + "none 'a=" + folder_ + "es.mo'"), 0);
    EXPECT_NE(RunTool(folder_ + "two 'a=" + folder_ + "es.mo'"), 0);
}

TEST_F(AppendedFiles, NoDirectoryMeansNoFiles)
{
    test::WriteFile(folder_ + "program", "anything");
    EXPECT_TRUE(ScanAppendedFiles(folder_ + "program", 0).empty());
    EXPECT_TRUE(ScanAppendedFiles(folder_ + "missing", 8).empty());
}

// A damaged directory ends the scan quietly; entries before the damage stay,
// and no offset is followed outside the file or backwards.
TEST_F(AppendedFiles, ScanStopsAtDamageAndKeepsWhatItRead)
{
    const std::string content = "0123456789";
    auto entry = [](std::uint64_t at, std::uint64_t next, std::uint64_t offset, std::uint64_t size, std::string name) {
        name.resize(next > at + 24 && next - at - 24 < 300 ? next - at - 24 : 0, ' ');
        return LittleEndian64(next) + LittleEndian64(offset) + LittleEndian64(size) + name;
    };
    const std::uint64_t first = content.size();
    struct TCase {
        const char* why;
        std::string directory;
        std::size_t expected;
    } cases[] = {
        {"two good entries",
         entry(first, first + 40, 0, 4, " a ") + entry(first + 40, first + 80, 4, 6, "\tb\n") + LittleEndian64(0), 2},
        {"end marker missing", entry(first, first + 40, 0, 4, "a"), 1},
        {"next entry points back at itself", entry(first, first, 0, 4, "a"), 0},
        {"second entry points backwards",
         entry(first, first + 40, 0, 4, "a") + LittleEndian64(first) + std::string(32, ' '), 1},
        {"next entry beyond the end",
         entry(first, first + 40, 0, 4, "a") + LittleEndian64(1ull << 40) + std::string(32, ' '), 1},
        {"content beyond the end", entry(first, first + 40, 5, 1000, "a") + LittleEndian64(0), 0},
        {"content offset wraps", entry(first, first + 40, ~0ull, 2, "a") + LittleEndian64(0), 0},
        {"cut inside the fields", LittleEndian64(first + 40) + LittleEndian64(0), 0},
    };
    for (const TCase& c : cases) {
        test::WriteFile(folder_ + "program", content + c.directory);
        auto files = ScanAppendedFiles(folder_ + "program", first);
        EXPECT_EQ(files.size(), c.expected) << c.why;
    }
    test::WriteFile(folder_ + "program", content + cases[0].directory);
    auto files = ScanAppendedFiles(folder_ + "program", first);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].first, "a");
    EXPECT_EQ(files[1].first, "b");
    EXPECT_EQ(files[1].second.Offset, 4);
    EXPECT_EQ(files[1].second.Size, 6);
    EXPECT_TRUE(ScanAppendedFiles(folder_ + "program", 1u << 20).empty());
}

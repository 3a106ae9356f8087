#include "runtime/TFileStream.h"
#include "runtime/TMemoryStream.h"
#include "runtime/TStringStream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

std::string TempPath(const char* name)
{
    return (std::filesystem::temp_directory_path() /
            (std::string("skerrow-") + name + "-" + std::to_string(::getpid())))
        .string();
}

std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(TMemoryStream, WritesPastTheEndGrowAndReadsStopAtTheEnd)
{
    TMemoryStream stream;
    stream.WriteString("hello");
    stream.SetPosition(8);
    stream.WriteString("!");
    EXPECT_EQ(stream.Size(), 9);
    EXPECT_EQ(stream.Bytes(), std::string("hello\0\0\0!", 9));

    stream.SetPosition(7);
    char buffer[10] = {};
    EXPECT_EQ(stream.Read(buffer, 10), 2);
    EXPECT_EQ(stream.Position(), 9);
}

TEST(TMemoryStream, TruncationPullsThePositionBack)
{
    TMemoryStream stream;
    stream.WriteString("0123456789");
    stream.SetSize(4);
    EXPECT_EQ(stream.Position(), 4);
    EXPECT_EQ(stream.Bytes(), "0123");
    EXPECT_THROW(stream.Seek(-5, soCurrent), EStreamError);
}

TEST(TMemoryStream, ShortReadBufferRaises)
{
    TStringStream stream("abc");
    char buffer[4];
    EXPECT_THROW(stream.ReadBuffer(buffer, 4), EReadError);
}

TEST(TFileStream, RoundTripsThroughAFileAndTruncates)
{
    std::string path = TempPath("stream");
    {
        TFileStream file(path, fmCreate);
        file.WriteString("first line\nsecond line\n");
        file.SetSize(11);
        EXPECT_EQ(file.Position(), 11);
    }
    EXPECT_EQ(FileText(path), "first line\n");

    TMemoryStream memory;
    memory.LoadFromFile(path);
    EXPECT_EQ(memory.Bytes(), "first line\n");
    std::remove(path.c_str());
}

TEST(TFileStream, OpeningAMissingFileNamesIt)
{
    try {
        TFileStream file("/nonexistent/folder/x", fmOpenRead);
        FAIL() << "no exception";
    } catch (const EFOpenError& error) {
        EXPECT_NE(std::string(error.what()).find("/nonexistent/folder/x"), std::string::npos);
    }
    EXPECT_THROW(TFileStream("/nonexistent/folder/x", fmCreate), EFCreateError);
}

TEST(TStream, CopyFromWithZeroCopiesTheWholeSource)
{
    TStringStream source("payload");
    source.SetPosition(3);
    TMemoryStream target;
    EXPECT_EQ(target.CopyFrom(source, 0), 7);
    EXPECT_EQ(target.Bytes(), "payload");
}

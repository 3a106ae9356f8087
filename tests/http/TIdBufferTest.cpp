#include "http/TIdBuffer.h"
#include "http/EIdException.h"
#include "runtime/TMemoryStream.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(TIdBuffer, TakesFromTheFrontInOrder)
{
    std::vector<std::int64_t> removals;
    TIdBuffer buffer([&](std::int64_t count) { removals.push_back(count); });
    buffer.Append("hello ");
    buffer.Append("world");
    EXPECT_EQ(buffer.TakeFront(2), "he");
    buffer.DropFront(4);
    TMemoryStream stream;
    buffer.TakeFrontToStream(stream, 3);
    EXPECT_EQ(stream.Bytes(), "wor");
    EXPECT_EQ(buffer.TakeFront(), "ld");
    EXPECT_TRUE(buffer.IsEmpty());
    // Every removal is reported with its count, for read progress.
    EXPECT_EQ(removals, (std::vector<std::int64_t>{2, 4, 3, 2}));
}

TEST(TIdBuffer, ConsumingOnlyMovesTheHeadUntilItPasses2048)
{
    TIdBuffer buffer;
    buffer.Append(std::string(3000, 'a') + "tail");
    std::int64_t capacity = buffer.Capacity();
    EXPECT_GE(capacity, 3004 + TIdBuffer::kGrowthStep);

    buffer.DropFront(2048);
    EXPECT_EQ(buffer.HeadIndex(), 2048);
    buffer.DropFront(1);
    // Past 2048 the live bytes move to the front.
    EXPECT_EQ(buffer.HeadIndex(), 0);
    EXPECT_EQ(buffer.Capacity(), capacity);
    EXPECT_EQ(buffer.TakeFront(), std::string(951, 'a') + "tail");
}

TEST(TIdBuffer, FindsBytesFromAStartPosition)
{
    TIdBuffer buffer;
    buffer.Append("a\r\nb\r\n");
    struct Row {
        const char* bytes;
        std::int64_t start;
        std::int64_t found;
    } rows[] = {
        {"\n", 0, 2}, {"\n", 3, 5}, {"\r\n", 3, 4}, {"x", 0, -1}, {"\n", 6, -1}, {"b\r\n", 1, 3},
    };
    for (const Row& row : rows)
        EXPECT_EQ(buffer.FindBytes(row.bytes, row.start), row.found) << row.bytes << " from " << row.start;
}

TEST(TIdBuffer, RaisesOnBadRequests)
{
    TIdBuffer buffer;
    buffer.Append("abc");
    try {
        buffer.TakeFront(5);
        FAIL() << "no exception";
    } catch (const EIdNotEnoughDataInBuffer& e) {
        EXPECT_STREQ(e.what(), "Not enough data in buffer. (5/3)");
    }
    EXPECT_EQ(buffer.ByteCount(), 3) << "a failed take keeps the bytes";

    try {
        buffer.FindBytes("", 0);
        FAIL() << "no exception";
    } catch (const EIdException& e) {
        EXPECT_STREQ(e.what(), "Buffer terminator must be specified.");
    }
    for (std::int64_t start : {std::int64_t(-1), std::int64_t(4)}) {
        try {
            buffer.FindBytes("a", start);
            FAIL() << "no exception for " << start;
        } catch (const EIdException& e) {
            EXPECT_STREQ(e.what(), "Buffer start position is invalid.");
        }
    }
    // The count check comes before any memory is taken.
    EXPECT_THROW(buffer.PrepareAppend(TIdBuffer::kMaxBytes), EIdTooMuchDataInBuffer);
    EXPECT_EQ(buffer.TakeFront(), "abc");
}

TEST(TIdBuffer, ReceivesIntoPreparedRoom)
{
    TIdBuffer buffer;
    buffer.Append("ab");
    char* room = buffer.PrepareAppend(100);
    room[0] = 'c';
    buffer.CommitAppend(1);
    EXPECT_EQ(buffer.Bytes(), "abc");
}

} // namespace

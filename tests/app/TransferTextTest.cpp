#include "app/TransferText.h"
#include "app/ByteCountText.h"

#include <gtest/gtest.h>

TEST(TransferText, SizeIsRoundedToWholeMebibytesHalvesToEven)
{
    struct Row {
        std::int64_t bytes;
        const char* shown;
    } rows[] = {
        {15728640, "~15 MB"}, {2621440, "~2 MB"},       // 2.5 MiB: the even neighbour is below
        {3670016, "~4 MB"},                             // 3.5 MiB: the even neighbour is above
        {1, "~0 MB"},         {3221225472, "~3072 MB"}, // beyond 32 bits
    };
    for (const Row& row : rows)
        EXPECT_EQ(ApproximateSizeText(row.bytes), row.shown) << row.bytes;
}

TEST(TransferText, AmountAndRateUseTheGivenSeparator)
{
    EXPECT_EQ(TransferText(3145728, 2.0, "."), "3.0 MB (1536.00 kb/s)");
    EXPECT_EQ(TransferText(3145728, 2.0, ","), "3,0 MB (1536,00 kb/s)");
    EXPECT_EQ(TransferText(512, 0.5, "."), "0.0 MB (1.00 kb/s)") << "at least one integer digit";
    EXPECT_EQ(FixedPointText(0.05, 1, ".", "MB"), "0.1 MB");
}

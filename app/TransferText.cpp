#include "app/TransferText.h"

#include "app/ByteCountText.h"

#include <cmath>

std::string ApproximateSizeText(std::int64_t totalBytes)
{
    // nearbyint rounds in the current mode, which is to nearest, ties to even.
    return "~" + FixedPointText(std::nearbyint(static_cast<double>(totalBytes) / kMebibyte), 0, ".", "MB");
}

std::string TransferText(std::int64_t receivedBytes, double elapsedSeconds, const std::string& decimalSeparator,
                         std::int64_t alreadyThere)
{
    double received = static_cast<double>(receivedBytes);
    double arrived = static_cast<double>(receivedBytes - alreadyThere);
    return FixedPointText(received / kMebibyte, 1, decimalSeparator, "MB") + " (" +
        FixedPointText(arrived / kKibibyte / elapsedSeconds, 2, decimalSeparator, "kb/s") + ")";
}

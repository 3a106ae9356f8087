#include "app/TransferText.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr double kMebibyte = 1048576.0;

} // namespace

std::string ApproximateSizeText(std::int64_t totalBytes)
{
    // nearbyint rounds in the current mode, which is to nearest, ties to even.
    double mebibytes = std::nearbyint(static_cast<double>(totalBytes) / kMebibyte);
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.0f", mebibytes);
    return "~" + std::string(digits) + " MB";
}

std::string FixedPointText(double value, int decimals, const std::string& decimalSeparator, const std::string& unit)
{
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.*f", decimals, value);
    std::string text = digits;
    std::size_t point = text.find('.');
    if (point != std::string::npos)
        text.replace(point, 1, decimalSeparator);
    return text + " " + unit;
}

std::string TransferText(std::int64_t receivedBytes, double elapsedSeconds, const std::string& decimalSeparator,
                         std::int64_t alreadyThere)
{
    double received = static_cast<double>(receivedBytes);
    double arrived = static_cast<double>(receivedBytes - alreadyThere);
    return FixedPointText(received / kMebibyte, 1, decimalSeparator, "MB") + " (" +
        FixedPointText(arrived / 1024.0 / elapsedSeconds, 2, decimalSeparator, "kb/s") + ")";
}

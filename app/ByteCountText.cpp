#include "app/ByteCountText.h"

#include "app/ProgramText.h"

#include <cstdio>

std::string ByteCountText(double bytes)
{
    if (bytes >= kGibibyte)
        return FixedPointText(bytes / kGibibyte, 1, ".", "GB");
    if (bytes >= kMebibyte)
        return FixedPointText(bytes / kMebibyte, 1, ".", "MB");
    if (bytes >= kKibibyte)
        return FixedPointText(bytes / kKibibyte, 0, ".", "KB");
    return Tr("%s bytes", {FixedPointText(bytes, 0, ".", "")});
}

std::string FixedPointText(double value, int decimals, const std::string& decimalSeparator, const std::string& unit)
{
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.*f", decimals, value);
    std::string text = digits;
    std::size_t point = text.find('.');
    if (point != std::string::npos)
        text.replace(point, 1, decimalSeparator);
    return unit.empty() ? text : text + " " + unit;
}

#include "widgets/TNxColorScheme.h"

#include <array>

namespace {

using SchemeRow = std::array<TColor, scSchemeColorCount>;

// Rows for csBlack, csBlue and csSilver. Only the entries the header panel
// reads are filled; the others stay black.
SchemeRow MakeRow(TColor frame, TColor headerText, TColor gradientEnd, TColor gradientStart, TColor bottomLine,
                  TColor windowsLive)
{
    SchemeRow row{};
    row[scFrame] = frame;
    row[scHeaderText] = headerText;
    row[scHeaderGradientEnd] = gradientEnd;
    row[scHeaderGradientStart] = gradientStart;
    row[scHeaderBottomLine] = bottomLine;
    row[scWindowsLive] = windowsLive;
    return row;
}

const std::array<SchemeRow, 3>& SchemeRows()
{
    static const std::array<SchemeRow, 3> rows = {
        MakeRow(0x5C534C, 0x000000, 0xC9C2BD, 0xF2F1F0, 0xB6ADA7, 0xA0A09E),
        MakeRow(0xCF9365, 0x8B4215, 0xFFD2AF, 0xFFEFE3, 0xCF9365, 0xE9CFB8),
        MakeRow(0x74706F, 0x8B4215, 0xE7DFDA, 0xF8F7F6, 0x74706F, 0xC2B7B2),
    };
    return rows;
}

} // namespace

TColor SchemeColor(TNxColorScheme scheme, int index)
{
    if (index < 0 || index >= scSchemeColorCount)
        return clNone;
    if (scheme == csDefault)
        scheme = kDefaultColorScheme;
    return SchemeRows()[static_cast<std::size_t>(scheme) - 1][static_cast<std::size_t>(index)];
}

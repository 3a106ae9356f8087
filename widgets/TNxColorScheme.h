#pragma once

#include "widgets/TColor.h"

enum TNxColorScheme { csDefault, csBlack, csBlue, csSilver };

// Indices of the scheme colours the header panel reads.
enum TNxSchemeColorIndex {
    scFrame = 2,
    scHeaderText = 7,
    scHeaderGradientEnd = 8,
    scHeaderGradientStart = 9,
    scHeaderBottomLine = 10,
    scWindowsLive = 15,
    scSchemeColorCount = 21
};

// The process-wide scheme that csDefault stands for.
constexpr TNxColorScheme kDefaultColorScheme = csBlue;

// One colour of a scheme; csDefault reads the default scheme's row.
TColor SchemeColor(TNxColorScheme scheme, int index);

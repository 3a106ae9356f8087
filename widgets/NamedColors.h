#pragma once

#include "widgets/TColor.h"

#include <QString>

#include <span>

struct TNamedColor {
    const char* Name;
    const char* Value; // "#RRGGBB"
};

// "transparent" followed by the 140 HTML colour names, "aliceblue" to "yellowgreen".
std::span<const TNamedColor> NamedColors();

// Reads a "color" value of the link label's tag language: a colour name or
// "#RRGGBB"; clNone when it cannot be read.
TColor ReadHtmlColor(const QString& value);

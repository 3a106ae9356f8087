#pragma once

#include <QColor>

#include <cstdint>

// A colour as window descriptions store it: 0x00BBGGRR. A value whose top byte
// is 0xFF names a system colour by its low byte and is resolved when drawing;
// clNone means no colour at all.
using TColor = std::uint32_t;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clGreen = 0x008000;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clGray = 0x808080;
constexpr TColor clSkyBlue = 0xF0CAA6;

constexpr TColor SystemColor(int index)
{
    return 0xFF000000u | static_cast<TColor>(index);
}
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clInactiveCaption = SystemColor(3);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clGrayText = SystemColor(17);

constexpr TColor RGBColor(int r, int g, int b)
{
    return static_cast<TColor>(r & 0xFF) | static_cast<TColor>(g & 0xFF) << 8 | static_cast<TColor>(b & 0xFF) << 16;
}

// System colours come from the design's palette (framework/DesignPalette.h); clNone and other values
// that are no colour resolve to an invalid QColor.
QColor ToQColor(TColor color, int opacity = 255);

// The 0x00BBGGRR value of a colour, system colours resolved.
TColor ColorToRGB(TColor color);

// Per channel (w * a + (255 - w) * b) / 256, system colours resolved first.
TColor BlendColors(TColor a, TColor b, int weight);

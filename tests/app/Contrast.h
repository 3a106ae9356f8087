#pragma once

#include <QColor>

#include <algorithm>
#include <cmath>

// Colours as the accessibility guidelines (WCAG 2) compare them.

inline double Luminance(QColor color)
{
    auto linear = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) + 0.0722 * linear(color.blueF());
}

// From 1 (the same) to 21 (black on white).
inline double Contrast(QColor a, QColor b)
{
    const double lighter = std::max(Luminance(a), Luminance(b));
    const double darker = std::min(Luminance(a), Luminance(b));
    return (lighter + 0.05) / (darker + 0.05);
}

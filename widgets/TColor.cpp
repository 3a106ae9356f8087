#include "widgets/TColor.h"

#include "framework/DesignPalette.h"

namespace {

// The system colours the widgets use, mapped onto the design's palette.
QColor PaletteColor(int index)
{
    const QPalette& palette = DesignPalette();
    switch (index) {
    case 2: return palette.color(QPalette::Active, QPalette::Highlight);
    case 3: return palette.color(QPalette::Inactive, QPalette::Mid);
    case 5: return palette.color(QPalette::Base);
    case 8: return palette.color(QPalette::WindowText);
    case 13: return palette.color(QPalette::Highlight);
    case 14: return palette.color(QPalette::HighlightedText);
    case 15: return palette.color(QPalette::Button);
    case 16: return palette.color(QPalette::Dark);
    case 17: return palette.color(QPalette::Disabled, QPalette::Text);
    case 18: return palette.color(QPalette::ButtonText);
    case 20: return palette.color(QPalette::Light);
    default: return palette.color(QPalette::Window);
    }
}

} // namespace

QColor ToQColor(TColor color, int opacity)
{
    if ((color >> 24) == 0xFF) {
        QColor resolved = PaletteColor(static_cast<int>(color & 0xFF));
        resolved.setAlpha(opacity);
        return resolved;
    }
    if ((color >> 24) != 0)
        return {};
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF, opacity);
}

TColor ColorToRGB(TColor color)
{
    const QColor resolved = ToQColor(color);
    if (!resolved.isValid())
        return color;
    return RGBColor(resolved.red(), resolved.green(), resolved.blue());
}

TColor BlendColors(TColor a, TColor b, int weight)
{
    const TColor ra = ColorToRGB(a);
    const TColor rb = ColorToRGB(b);
    TColor result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int ca = (ra >> shift) & 0xFF;
        const int cb = (rb >> shift) & 0xFF;
        result |= static_cast<TColor>((weight * ca + (255 - weight) * cb) / 256) << shift;
    }
    return result;
}

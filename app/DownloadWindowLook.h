#pragma once

#include "framework/Fonts.h"
#include "widgets/TAdvSmoothProgressBar.h"
#include "widgets/TNxLabel.h"

// The download window's colours: a white-to-silver track, a green bar that
// is light at its edges and dark in the middle, and a red outcome.
namespace DownloadWindowColors {

constexpr TColor Track = clWhite;
constexpr TColor TrackTo = clSilver;
constexpr TColor TrackBorder = clWhite;
constexpr TColor BarLight = RGBColor(0xCC, 0xFF, 0xCC);
constexpr TColor BarDark = RGBColor(0x33, 0x99, 0x66);
constexpr TColor BarBorder = clGreen;
constexpr TColor BarShadow = RGBColor(0x33, 0x33, 0x33);
constexpr TColor Outcome = clRed;

} // namespace DownloadWindowColors

// The download window's progress bar and title label, as the window sets
// them up; the widget tests and benchmarks paint the same bar.
inline void ApplyDownloadBarLook(TAdvSmoothProgressBar& bar)
{
    bar.setGeometry(15, 83, 254, 17);
    bar.SetMaximum(100);
    bar.SetStep(10);
    TGDIPProgress& look = *bar.Appearance();
    using namespace DownloadWindowColors;
    TGDIPFill& background = look.BackGroundFill();
    background.SetColor(Track);
    background.SetColorTo(TrackTo);
    background.SetColorMirror(clNone);
    background.SetColorMirrorTo(clNone);
    background.SetBorderColor(TrackBorder);
    background.SetRounding(2);
    background.SetShadowOffset(0);
    TGDIPFill& progress = look.ProgressFill();
    progress.SetColor(BarLight);
    progress.SetColorTo(BarDark);
    progress.SetColorMirror(BarDark);
    progress.SetColorMirrorTo(BarLight);
    progress.SetGradientMirrorType(gtVertical);
    progress.SetBorderColor(BarBorder);
    progress.SetRounding(1);
    progress.SetShadowColor(BarShadow);
    progress.SetShadowOffset(0);
    look.SetFont(TahomaFont());
    look.SetProgressFont(TahomaFont());
    look.SetValueFormat("%.0f%%");
    look.SetValueType(vtPercentage);
    look.SetValueVisible(true);
}

inline void ApplyDownloadTitleLook(TNxLabel& title)
{
    title.SetAutoSize(false);
    title.setGeometry(20, 53, 249, 13);
    title.setFont(TahomaFont(QFont::Bold));
    title.SetWordWrap(true);
    title.SetEllipsisPosition(epPathEllipsis);
    title.SetInnerMargins({0, 2});
    title.SetInnerHorizontal(true);
    title.SetInnerVertical(false);
}

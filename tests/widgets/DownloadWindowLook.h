#pragma once

#include "framework/Fonts.h"
#include "widgets/TAdvSmoothProgressBar.h"
#include "widgets/TNxLabel.h"

// The download window's progress bar and title label, set up as that
// window's description sets them.
inline void ApplyDownloadBarLook(TAdvSmoothProgressBar& bar)
{
    bar.setGeometry(15, 83, 254, 17);
    bar.SetMaximum(100);
    bar.SetStep(10);
    TGDIPProgress& look = *bar.Appearance();
    TGDIPFill& background = look.BackGroundFill();
    background.SetColor(clWhite);
    background.SetColorTo(clSilver);
    background.SetColorMirror(clNone);
    background.SetColorMirrorTo(clNone);
    background.SetBorderColor(clWhite);
    background.SetRounding(2);
    background.SetShadowOffset(0);
    TGDIPFill& progress = look.ProgressFill();
    progress.SetColor(0xCCFFCC);
    progress.SetColorTo(0x669933);
    progress.SetColorMirror(0x669933);
    progress.SetColorMirrorTo(0xCCFFCC);
    progress.SetGradientMirrorType(gtVertical);
    progress.SetBorderColor(clGreen);
    progress.SetRounding(1);
    progress.SetShadowColor(0x333333);
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
    title.setFont(TahomaFont(true));
    title.SetWordWrap(true);
    title.SetEllipsisPosition(epPathEllipsis);
    title.SetInnerMargins({0, 2});
    title.SetInnerHorizontal(true);
    title.SetInnerVertical(false);
}

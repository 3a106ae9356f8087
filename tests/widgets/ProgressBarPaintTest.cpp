#include "WidgetProbes.h"
#include "app/DownloadWindowLook.h"

#include <gtest/gtest.h>

namespace {

bool IsGreen(QColor pixel)
{
    return pixel.green() > pixel.red() + 30 && pixel.green() > pixel.blue() + 10;
}

// The value text covers the middle rows, so edges are probed by column.
bool ColumnHasGreen(const QImage& image, int x)
{
    for (int y = 2; y < image.height() - 2; ++y) {
        if (IsGreen(image.pixelColor(x, y)))
            return true;
    }
    return false;
}

struct DownloadBar {
    TAdvSmoothProgressBar bar;

    explicit DownloadBar(double position)
    {
        ApplyDownloadBarLook(bar);
        bar.SetGlowAnimation(false);
        bar.SetProgressAnimation(false);
        bar.SetPosition(position);
    }
};

} // namespace

// Geometry.

TEST(SmoothProgressBarPaint, FilledPartAtHalfIsHalfTheInnerWidth)
{
    DownloadBar half(50);
    // 254 wide: inner 251 after the white border, less the green border's 1.
    const TProgressBarGeometry geometry = half.bar.Geometry();
    EXPECT_DOUBLE_EQ(geometry.Inner.width(), 251);
    EXPECT_DOUBLE_EQ(geometry.Filled.width(), 125);
    EXPECT_DOUBLE_EQ(geometry.Filled.left(), 1.5);

    const QImage image = RenderWidget(half.bar);
    EXPECT_TRUE(IsGreen(image.pixelColor(60, 8)));
    EXPECT_TRUE(ColumnHasGreen(image, 124)) << "the fill ends at 126.5";
    EXPECT_FALSE(ColumnHasGreen(image, 130));
    EXPECT_FALSE(IsGreen(image.pixelColor(200, 8)));
}

TEST(SmoothProgressBarPaint, EmptyOrDegenerateBarsHaveNoFilledPart)
{
    DownloadBar empty(0);
    EXPECT_EQ(empty.bar.Geometry().Filled.width(), 0);
    const QImage image = RenderWidget(empty.bar);
    for (int x = 2; x < 250; x += 4)
        ASSERT_FALSE(IsGreen(image.pixelColor(x, 8))) << x;

    DownloadBar degenerate(0);
    degenerate.bar.SetMaximum(0);
    EXPECT_EQ(degenerate.bar.Geometry().Filled.width(), 0);
}

// The value text.

TEST(SmoothProgressBarPaint, TextSwitchesToTheProgressFontOnceTheFillPassesItsMiddle)
{
    const QRect textArea(100, 2, 54, 13);
    const QColor red(255, 0, 0);
    const QColor blue(0, 0, 255);
    const struct {
        double position;
        bool progressFont;
    } rows[] = {{40, false}, {60, true}};
    for (const auto& row : rows) {
        DownloadBar bar(row.position);
        bar.bar.Appearance()->SetFontColor(clBlue);
        bar.bar.Appearance()->SetProgressFontColor(clRed);
        const QImage image = RenderWidget(bar.bar);
        EXPECT_EQ(AreaHasColor(image, textArea, red, 150), row.progressFont) << row.position;
        EXPECT_EQ(AreaHasColor(image, textArea, blue, 150), !row.progressFont) << row.position;
    }
}

// The glow's sweep.

TEST(SmoothProgressBarPaint, GlowSweepsTheFilledPartThenPauses)
{
    TAdvSmoothProgressBar bar;
    ApplyDownloadBarLook(bar);
    bar.SetProgressAnimation(false);
    bar.SetPosition(20);
    RenderWidget(bar); // the sweep measures against the last paint
    const double filled = bar.Geometry().Filled.width();
    EXPECT_EQ(bar.GlowPosition(), -40);
    bar.Tick();
    EXPECT_EQ(bar.GlowPosition(), -37) << "the first sweep starts at once";

    double furthest = bar.GlowPosition();
    for (int ticks = 1; bar.GlowPosition() != -60 && ticks < 1000; ++ticks) {
        furthest = bar.GlowPosition();
        bar.Tick();
    }
    EXPECT_EQ(bar.GlowPosition(), -60);
    EXPECT_LE(furthest, filled);
    EXPECT_GT(furthest + 3, filled) << "the sweep reaches the end of the filled part";
    for (int pause = 0; pause < 150; ++pause)
        bar.Tick();
    EXPECT_EQ(bar.GlowPosition(), -60) << "about 1.5 s of rest";
    bar.Tick();
    EXPECT_EQ(bar.GlowPosition(), -57);
}

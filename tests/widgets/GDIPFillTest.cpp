#include "WidgetProbes.h"

#include "widgets/TGDIPFill.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

// Draws the fill over a 40 x 20 area at (10, 10) of a clear 60 x 40 image,
// pixel centres on whole coordinates as the bar draws.
QImage Draw(const TGDIPFill& fill)
{
    QImage image(60, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.translate(0.5, 0.5);
    fill.Fill(painter, QRectF(10, 10, 40, 20));
    return image;
}

bool Close(QColor pixel, TColor expected, int tolerance = 12)
{
    const QColor color = ToQColor(expected);
    return pixel.alpha() > 200 && std::abs(pixel.red() - color.red()) <= tolerance &&
        std::abs(pixel.green() - color.green()) <= tolerance && std::abs(pixel.blue() - color.blue()) <= tolerance;
}

} // namespace

TEST(GDIPFill, MirrorHalvesRunMainThenMirrorGradient)
{
    TGDIPFill fill;
    fill.SetColor(clWhite);
    fill.SetColorTo(clRed);
    fill.SetColorMirror(clBlue);
    fill.SetColorMirrorTo(clGreen);
    fill.SetGradientMirrorType(gtVertical);
    const QImage image = Draw(fill);
    EXPECT_TRUE(Close(image.pixelColor(30, 11), clWhite, 60)) << "top of the main half";
    EXPECT_TRUE(Close(image.pixelColor(30, 20), clBlue, 40)) << "the mirror half starts in its colour";
    EXPECT_TRUE(Close(image.pixelColor(30, 29), clGreen, 40)) << "bottom of the mirror half";
}

TEST(GDIPFill, WithoutMirrorColourOneGradientCoversTheArea)
{
    TGDIPFill fill;
    fill.SetColor(clRed);
    fill.SetColorTo(clNone); // a missing end colour gives a solid fill
    const QImage image = Draw(fill);
    for (int y : {11, 20, 29})
        EXPECT_TRUE(Close(image.pixelColor(30, y), clRed)) << y;
    fill.SetColor(clNone);
    EXPECT_EQ(Draw(fill).pixelColor(30, 20).alpha(), 0) << "no colour draws nothing";
}

TEST(GDIPFill, RoundingTypeChoosesTheCorners)
{
    const struct {
        TFillRoundingType type;
        bool topLeft, bottomRight; // rounded, so its corner pixel stays clear
    } rows[] = {
        {rtBoth, true, true},  {rtTop, true, false},   {rtBottom, false, true},
        {rtLeft, true, false}, {rtRight, false, true}, {rtNone, false, false},
    };
    for (const auto& row : rows) {
        TGDIPFill fill;
        fill.SetGradientType(gtSolid);
        fill.SetColor(clBlue);
        fill.SetRounding(6);
        fill.SetRoundingType(row.type);
        const QImage image = Draw(fill);
        EXPECT_EQ(image.pixelColor(11, 11).alpha() < 100, row.topLeft) << row.type;
        EXPECT_EQ(image.pixelColor(49, 29).alpha() < 100, row.bottomRight) << row.type;
    }
}

TEST(GDIPFill, BorderIsStrokedInItsColourAndAThinAreaIsALine)
{
    TGDIPFill fill;
    fill.SetGradientType(gtSolid);
    fill.SetColor(clWhite);
    fill.SetBorderColor(clGreen);
    const QImage image = Draw(fill);
    EXPECT_TRUE(Close(image.pixelColor(10, 20), clGreen));
    EXPECT_TRUE(Close(image.pixelColor(30, 20), clWhite));

    QImage line(60, 40, QImage::Format_ARGB32_Premultiplied);
    line.fill(Qt::transparent);
    QPainter painter(&line);
    painter.translate(0.5, 0.5);
    fill.Fill(painter, QRectF(10, 10, 40, 1));
    painter.end();
    EXPECT_TRUE(Close(line.pixelColor(30, 10), clGreen, 60));
    EXPECT_EQ(line.pixelColor(30, 13).alpha(), 0);
}

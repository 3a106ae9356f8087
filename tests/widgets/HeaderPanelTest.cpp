#include "WidgetProbes.h"

#include "widgets/TNxHeaderPanel.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

QColor Rgb(TColor color)
{
    return ToQColor(color);
}

bool Near(QColor a, QColor b, int tolerance = 0)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
        std::abs(a.blue() - b.blue()) <= tolerance;
}

// The main window's step panels: own colours, sky-blue header, red frame.
void StyleAsStepPanel(TNxHeaderPanel& panel)
{
    panel.SetAdaptiveColors(false);
    panel.SetHeaderColor(clSkyBlue);
    panel.SetBorderColor(clRed);
    panel.SetHeaderSize(22);
    panel.SetCaption("Step 1: Enter Video URL");
}

} // namespace

// The area for children.

TEST(HeaderPanel, ChildAreaLiesBelowTheHeaderInsideTheMargins)
{
    for (int border : {0, 1, 3}) {
        TNxHeaderPanel panel;
        panel.SetHeaderSize(22);
        panel.SetBorderWidth(border);
        const QRect client = panel.ClientRect();
        const QRect area = panel.AlignRect();
        EXPECT_EQ(area.topLeft() - client.topLeft(), QPoint(9, 27)) << border;
        EXPECT_EQ(client.right() - area.right(), 8) << border;
        EXPECT_EQ(client.bottom() - area.bottom(), 4) << border;
    }
}

TEST(HeaderPanel, ChildAreaFollowsDisplayStyleAndMargins)
{
    TNxHeaderPanel panel;
    int changes = 0;
    QObject::connect(&panel, &TNxHeaderPanel::ClientAreaChanged, [&] { ++changes; });
    panel.SetBorderWidth(0);
    panel.SetDisplayStyle(dsPanelOnly);
    EXPECT_EQ(panel.AlignRect().topLeft(), QPoint(9, 5));
    panel.InnerMargins().SetLeft(0);
    panel.InnerMargins().SetLeft(0);
    EXPECT_EQ(panel.AlignRect().left(), 0);
    EXPECT_EQ(changes, 3) << "a margin set to its own value changes nothing";
}

// Pixels of the painted panel.

TEST(HeaderPanel, FrameFollowsBorderWidthAndColours)
{
    const struct {
        bool adaptive;
        int width;
        TColor expected; // clNone: no frame
    } rows[] = {
        {false, 1, clRed},
        {false, 0, clNone},
        {true, 1, 0xCF9365}, // the blue scheme's frame colour
        {false, 2, clRed},
    };
    for (const auto& row : rows) {
        TNxHeaderPanel panel;
        StyleAsStepPanel(panel);
        panel.SetAdaptiveColors(row.adaptive);
        panel.SetBorderWidth(row.width);
        panel.resize(300, 100);
        const QImage image = RenderWidget(panel);
        for (QPoint probe : {QPoint(0, 50), QPoint(299, 99), QPoint(150, 0), QPoint(row.width - 1, 60)}) {
            if (probe.x() < 0)
                continue;
            const QColor pixel = image.pixelColor(probe);
            if (row.expected == clNone)
                EXPECT_FALSE(Near(pixel, Rgb(clRed), 30)) << probe.x() << "," << probe.y();
            else
                EXPECT_TRUE(Near(pixel, Rgb(row.expected))) << row.width << " at " << probe.x() << "," << probe.y();
        }
    }
}

TEST(HeaderPanel, NormalHeaderIsAGradientFromWindowColourToHeaderColour)
{
    TNxHeaderPanel panel;
    StyleAsStepPanel(panel);
    panel.resize(300, 100);
    const QImage image = RenderWidget(panel);
    // Frame at row 0, header rows 1..22: white top line, gradient rows 2..21,
    // bottom line at 22.
    const QColor window = Rgb(clWindow);
    const QColor sky = Rgb(clSkyBlue);
    auto lastRow = [](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * 19.0 / 20)); };
    EXPECT_TRUE(Near(image.pixelColor(250, 1), Qt::white));
    EXPECT_TRUE(Near(image.pixelColor(250, 2), window));
    EXPECT_TRUE(Near(image.pixelColor(250, 21),
                     QColor(lastRow(window.red(), sky.red()), lastRow(window.green(), sky.green()),
                            lastRow(window.blue(), sky.blue()))));
    EXPECT_TRUE(Near(image.pixelColor(250, 22), Rgb(0xCF9365)));
    EXPECT_TRUE(Near(image.pixelColor(250, 60), window)) << "the body";
}

TEST(HeaderPanel, CaptionUsesTheSchemeTextColourUnlessTurnedOff)
{
    TNxHeaderPanel panel;
    StyleAsStepPanel(panel);
    panel.SetHeaderFontColor(clGreen);
    panel.resize(300, 60);
    const QRect caption(10, 4, 120, 16);
    EXPECT_TRUE(AreaHasColor(RenderWidget(panel), caption, Rgb(0x8B4215), 60));
    panel.SetOptions(0);
    const QImage plain = RenderWidget(panel);
    EXPECT_TRUE(AreaHasColor(plain, caption, Rgb(clGreen), 60));
    EXPECT_FALSE(AreaHasColor(plain, caption, Rgb(0x8B4215), 20));
}

// Collapsing and expanding.

TEST(HeaderPanel, ResizingBelow34CollapsesAndWideningExpands)
{
    QWidget window;
    window.resize(400, 300);
    TNxHeaderPanel panel(&window);
    panel.setGeometry(0, 0, 200, 100);
    window.show();
    int changes = 0;
    panel.OnChange = [&](QObject*) { ++changes; };

    panel.resize(33, 100);
    EXPECT_FALSE(panel.Expanded());
    EXPECT_EQ(changes, 1);
    panel.resize(34, 100);
    EXPECT_TRUE(panel.Expanded());
    EXPECT_EQ(panel.width(), 34);
    panel.resize(20, 100);
    EXPECT_FALSE(panel.Expanded());
    EXPECT_EQ(panel.width(), 33) << "a narrow panel collapses to 33";
    EXPECT_EQ(changes, 3);
}

TEST(HeaderPanel, CollapseRemembersTheWidthToReturnTo)
{
    TNxHeaderPanel panel;
    panel.resize(180, 90);
    panel.SetExpanded(false);
    EXPECT_EQ(panel.width(), 33);
    EXPECT_EQ(panel.FullWidth(), 180);
    panel.SetExpanded(true);
    EXPECT_EQ(panel.width(), 180);
}

// Mouse.

TEST(HeaderPanel, ClicksReachHeaderGlyphAndCollapseButton)
{
    TNxHeaderPanel panel;
    panel.resize(200, 100);
    QImage glyph(16, 16, QImage::Format_RGB32);
    glyph.fill(Qt::magenta);
    panel.SetGlyph(glyph);
    panel.SetOptions(hoColorSchemeFont | hoCollapseButton);
    int header = 0, glyphs = 0;
    panel.OnHeaderClick = [&](QObject*) { ++header; };
    panel.OnGlyphClick = [&](QObject*) { ++glyphs; };

    Click(panel, panel.GlyphRect().center());
    Click(panel, QPoint(100, 10));
    Click(panel, QPoint(100, 60)); // the body is no header
    EXPECT_EQ(header, 2);
    EXPECT_EQ(glyphs, 1);
    EXPECT_EQ(panel.Glyph().pixelColor(0, 15).alpha(), 0) << "the bottom-left colour is transparent";

    Click(panel, panel.CollapseButtonRect().center());
    EXPECT_FALSE(panel.Expanded());
    Click(panel, panel.CollapseButtonRect().center());
    EXPECT_TRUE(panel.Expanded());
    EXPECT_EQ(panel.width(), 200);
}

// Fonts and the panel list.

TEST(HeaderPanel, HeaderFontFollowsTheFontUntilSetItself)
{
    TNxHeaderPanel panel;
    panel.setFont(QFont("Tahoma", 12));
    EXPECT_EQ(panel.HeaderFont().pointSize(), 12);
    EXPECT_TRUE(panel.ParentHeaderFont());
    panel.SetHeaderFont(QFont("Tahoma", 8));
    EXPECT_FALSE(panel.ParentHeaderFont());
    panel.setFont(QFont("Tahoma", 14));
    EXPECT_EQ(panel.HeaderFont().pointSize(), 8);
    panel.SetParentHeaderFont(true);
    EXPECT_TRUE(panel.ParentHeaderFont());
    EXPECT_EQ(panel.HeaderFont().pointSize(), 14);
}

TEST(HeaderPanel, EveryPanelIsListedWhileItLives)
{
    auto* panel = new TNxHeaderPanel;
    const auto& panels = TNxHeaderPanel::Panels();
    EXPECT_NE(std::find(panels.begin(), panels.end(), panel), panels.end());
    delete panel;
    EXPECT_EQ(std::find(panels.begin(), panels.end(), panel), panels.end());
}

// High pixel densities.

TEST(HeaderPanel, LeavesNoPixelUnpaintedAtFractionalScales)
{
    const QColor unpainted(Qt::magenta);
    for (qreal ratio : {1.25, 1.5, 2.0}) {
        for (int border : {0, 1}) {
            TNxHeaderPanel panel;
            StyleAsStepPanel(panel);
            panel.SetBorderWidth(border);
            panel.resize(707, 170);
            const QImage image = RenderWidget(panel, ratio, unpainted);
            EXPECT_FALSE(AreaHasColor(image, image.rect(), unpainted, 0)) << "ratio " << ratio << ", border " << border;
        }
    }
}

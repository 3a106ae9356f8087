#include "WidgetProbes.h"

#include "framework/Fonts.h"
#include "framework/MessageBox.h"
#include "runtime/Exception.h"
#include "widgets/NamedColors.h"
#include "widgets/TNxHtmlLabel.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

namespace {

const QString kLink = QStringLiteral("<a href=\"http://www.youtube.com\">Open YouTube in browser</a>");

THtmlLayoutResult Lay(const QString& caption, std::optional<QPoint> probe = std::nullopt)
{
    return THtmlLayout::Run(caption, TahomaFont(), clWindowText, QRect(0, 0, 228, 17), probe);
}

} // namespace

// Links.

TEST(HtmlLayout, LinkTextIsUnderlinedBlueAndOffsetFromTheCorner)
{
    const THtmlLayoutResult layout = Lay(kLink);
    ASSERT_EQ(layout.Runs.size(), 1u);
    const THtmlRun& run = layout.Runs[0];
    EXPECT_EQ(run.Text, "Open YouTube in browser");
    EXPECT_EQ(run.Position, QPoint(2, 1));
    EXPECT_TRUE(run.Font.underline());
    EXPECT_EQ(run.Color, clBlue);
    EXPECT_EQ(layout.MaxX, 2 + QFontMetrics(run.Font).horizontalAdvance(run.Text));
}

TEST(HtmlLayout, LinkIsFoundOnlyOverItsText)
{
    const int end = Lay(kLink).MaxX;
    const struct {
        QPoint probe;
        const char* href;
    } rows[] = {
        {{3, 5}, "http://www.youtube.com"}, // first letter, quotes removed
        {{end - 1, 5}, "http://www.youtube.com"},
        {{1, 5}, ""},       // left of the link's start
        {{end + 1, 5}, ""}, // right of its text
        {{20, 16}, ""},     // below the line
    };
    for (const auto& row : rows)
        EXPECT_EQ(Lay(kLink, row.probe).Href, row.href) << row.probe.x() << "," << row.probe.y();
}

TEST(HtmlLayout, LinkAfterTextStartsWhereTheTextEnds)
{
    const THtmlLayoutResult layout = Lay("go <a href=x>here</a>");
    ASSERT_EQ(layout.Runs.size(), 2u);
    const int linkStart = layout.Runs[1].Position.x();
    EXPECT_EQ(Lay("go <a href=x>here</a>", QPoint(linkStart - 1, 5)).Href, "");
    EXPECT_EQ(Lay("go <a href=x>here</a>", QPoint(linkStart + 1, 5)).Href, "x");
}

// Styles, fonts and colours.

TEST(HtmlLayout, ClosingTagsRestoreTheSavedFont)
{
    const THtmlLayoutResult layout = Lay("x<b>y</b>z");
    ASSERT_EQ(layout.Runs.size(), 3u);
    EXPECT_FALSE(layout.Runs[0].Font.bold());
    EXPECT_TRUE(layout.Runs[1].Font.bold());
    EXPECT_FALSE(layout.Runs[2].Font.bold());
    EXPECT_LT(layout.Runs[0].Position.x(), layout.Runs[1].Position.x());
    EXPECT_LT(layout.Runs[1].Position.x(), layout.Runs[2].Position.x());
}

TEST(HtmlLayout, StylesNestAndUnwind)
{
    const THtmlLayoutResult layout = Lay("<i>a<u>b</u></i>c");
    ASSERT_EQ(layout.Runs.size(), 3u);
    EXPECT_TRUE(layout.Runs[0].Font.italic());
    EXPECT_TRUE(layout.Runs[1].Font.italic() && layout.Runs[1].Font.underline());
    EXPECT_FALSE(layout.Runs[2].Font.italic() || layout.Runs[2].Font.underline());
}

TEST(HtmlLayout, BlanksInsideATagApplyItOnce)
{
    // A second push of the same tag would leave "y" bold after the close.
    const THtmlLayoutResult layout = Lay("<b >x</b>y <font color=\"red\" >r</font>k");
    ASSERT_EQ(layout.Runs.size(), 4u);
    EXPECT_FALSE(layout.Runs[1].Font.bold());
    EXPECT_EQ(layout.Runs[2].Color, clRed);
    EXPECT_EQ(layout.Runs[3].Color, clWindowText);
}

TEST(HtmlLayout, FontAttributesSetColourNameAndSize)
{
    const struct {
        const char* attributes;
        TColor color;
    } rows[] = {
        {"color=\"red\"", clRed},           {"color=\"RED\"", clRed}, // names are looked up lower-cased
        {"color=\"#FF0000\"", clRed},       {"color=#00ff00", 0x00FF00},
        {"color=\"transparent\"", clWhite}, {"color=\"nosuchcolour\"", clNone}, // neither a name nor hexadecimal
        {"color=\"#12345678\"", clNone},                                        // too many digits
    };
    for (const auto& row : rows) {
        const QString caption = QStringLiteral("<font %1>t</font>").arg(row.attributes);
        const THtmlLayoutResult layout = Lay(caption);
        ASSERT_EQ(layout.Runs.size(), 1u) << row.attributes;
        EXPECT_EQ(layout.Runs[0].Color, row.color) << row.attributes;
    }
    const THtmlRun sized = Lay("<font size=\"14\" name=\"Courier\">t</font>").Runs.at(0);
    EXPECT_EQ(sized.Font.pointSize(), 14);
    EXPECT_EQ(sized.Font.family(), "Courier");
    EXPECT_EQ(Lay("<font size=\"99999\">t</font>").Runs.at(0).Font, TahomaFont()) << "absurd sizes are ignored";
}

TEST(HtmlLayout, NamedColourTableMatchesTheHtmlNames)
{
    const auto table = NamedColors();
    ASSERT_EQ(table.size(), 141u);
    EXPECT_STREQ(table.front().Name, "transparent");
    EXPECT_STREQ(table[1].Name, "aliceblue");
    EXPECT_STREQ(table.back().Name, "yellowgreen");
    for (std::size_t i = 1; i < table.size(); ++i)
        EXPECT_EQ(QColor(table[i].Name).name().toUpper(), QString(table[i].Value).toUpper()) << table[i].Name;
}

// Tags that are not styles.

TEST(HtmlLayout, UnknownTagIsDroppedWithItsText)
{
    const THtmlLayoutResult layout = Lay("a<q cite=\"z\">b");
    ASSERT_EQ(layout.Runs.size(), 2u);
    EXPECT_EQ(layout.Runs[1].Text, "b");
    EXPECT_EQ(layout.Runs[1].Position.x(), layout.MaxX - QFontMetrics(layout.Runs[1].Font).horizontalAdvance("b"));
}

TEST(HtmlLayout, LineBreakReturnsToTheLeftMarginOneLineDown)
{
    const THtmlLayoutResult layout = Lay("first<br>second");
    ASSERT_EQ(layout.Runs.size(), 2u);
    const int lineHeight = QFontMetrics(layout.Runs[0].Font).height();
    EXPECT_EQ(layout.Runs[1].Position, QPoint(2, 1 + lineHeight));
    EXPECT_EQ(layout.Height, 2 * lineHeight + 1);
}

// The label control.

TEST(HtmlLabel, HandCursorOnlyOverTheLinkAndClicksReportIt)
{
    QWidget parent;
    TNxHtmlLabel label(&parent);
    label.setGeometry(13, 114, 228, 17);
    label.SetCaption(kLink);
    std::vector<QString> links;
    int clicks = 0;
    label.OnLinkClick = [&](QObject* sender, const QString& href) {
        EXPECT_EQ(sender, &label);
        links.push_back(href);
    };
    label.OnClick = [&](QObject*) { ++clicks; };

    SendMouse(label, QEvent::MouseMove, {5, 6});
    EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
    SendMouse(label, QEvent::MouseMove, {220, 6});
    EXPECT_EQ(label.cursor().shape(), Qt::ArrowCursor);

    Click(label, {5, 6});
    Click(label, {220, 6});
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(links, std::vector<QString>{"http://www.youtube.com"});
}

TEST(HtmlLabel, AutoSizeTakesTheMeasuredExtent)
{
    TNxHtmlLabel label;
    label.SetCaption("one<br><b>two and more</b>");
    label.SetAutoSize(true);
    const THtmlLayoutResult layout = label.Layout();
    EXPECT_EQ(label.size(), QSize(layout.MaxX, layout.Height));
    EXPECT_GT(label.height(), 2 * QFontMetrics(label.font()).height());
}

TEST(HtmlLabel, CaptionIsAQtProperty)
{
    TNxHtmlLabel label;
    label.setProperty("Caption", kLink);
    EXPECT_EQ(label.Caption(), kLink);
}

TEST(HtmlLabel, FailingHandlerReachesTheApplicationsDisplay)
{
    std::vector<std::string> shown;
    const TMessageBoxSeam previous =
        SetMessageBoxSeam([&](const TMessageBoxRequest& request) { shown.push_back(request.Text); });
    TNxHtmlLabel label;
    label.resize(228, 17);
    label.SetCaption(kLink);
    label.OnLinkClick = [](QObject*, const QString&) { throw Exception("Read Timeout"); };
    Click(label, {5, 6});
    SetMessageBoxSeam(previous);
    EXPECT_EQ(shown, std::vector<std::string>{"Read Timeout."});
}

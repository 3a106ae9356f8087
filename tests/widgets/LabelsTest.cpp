#include "framework/Fonts.h"
#include "widgets/TNxLabel.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct PlacementFixture {
    QWidget parent;
    QWidget* associate = new QWidget(&parent);
    TNxLabel* label = new TNxLabel(&parent);

    PlacementFixture()
    {
        associate->setGeometry(100, 50, 80, 20);
        label->SetAutoSize(false);
        label->setGeometry(7, 7, 40, 13);
    }
};

} // namespace

// Placement against the associate.

TEST(NxLabel, PlacesItselfByThePositionTable)
{
    const struct {
        TNxHorizontalPosition horizontal;
        TNxVerticalPosition vertical;
        bool innerHorizontal, innerVertical;
        QPoint expected;
    } rows[] = {
        {hpLeft, vpTop, true, false, {100, 35}}, // the defaults: above, left-aligned, gap 2
        {hpLeft, vpTop, false, true, {60, 52}},       {hpCenter, vpMiddle, true, false, {120, 56}},
        {hpCenter, vpMiddle, false, true, {120, 56}}, // centring ignores inside or outside
        {hpRight, vpBottom, true, true, {140, 59}},   {hpRight, vpBottom, false, false, {180, 72}},
    };
    for (const auto& row : rows) {
        PlacementFixture f;
        f.label->SetHorizontalPosition(row.horizontal);
        f.label->SetVerticalPosition(row.vertical);
        f.label->SetInnerHorizontal(row.innerHorizontal);
        f.label->SetInnerVertical(row.innerVertical);
        f.label->SetAssociate(f.associate);
        EXPECT_EQ(f.label->pos(), row.expected) << row.horizontal << " " << row.vertical;
        EXPECT_EQ(f.label->size(), QSize(40, 13));
    }
}

TEST(NxLabel, FollowsTheAssociateAndLetsGoWhenItIsDestroyed)
{
    PlacementFixture f;
    EXPECT_EQ(f.label->pos(), QPoint(7, 7)) << "no associate, no move";
    f.label->SetAssociate(f.label);
    EXPECT_EQ(f.label->Associate(), nullptr) << "a label cannot be its own associate";

    f.parent.show(); // hidden widgets defer their move and size events
    f.label->SetAssociate(f.associate);
    f.associate->move(10, 100);
    EXPECT_EQ(f.label->pos(), QPoint(10, 85));
    f.label->SetInnerMargins({5, 0});
    EXPECT_EQ(f.label->pos(), QPoint(15, 87));
    f.label->SetHorizontalPosition(hpRight);
    f.associate->resize(200, 20);
    EXPECT_EQ(f.label->pos(), QPoint(10 + 200 - 40 - 5, 87));

    delete f.associate;
    EXPECT_EQ(f.label->Associate(), nullptr);
    f.label->SetVerticalPosition(vpBottom);
    EXPECT_EQ(f.label->pos(), QPoint(165, 87));
}

// The path-style ellipsis.

TEST(NxLabel, LongCaptionIsShortenedInTheMiddle)
{
    TNxLabel label;
    label.SetAutoSize(false);
    label.SetEllipsisPosition(epPathEllipsis);
    label.setFont(TahomaFont(QFont::Bold));
    label.resize(249, 13);
    const QString title = QStringLiteral("Beginning of a very long video title that goes on and on, far past the "
                                         "width of the download window - The End");
    label.SetCaption(title);
    const QString shown = label.DisplayText();
    EXPECT_TRUE(shown.contains("...")) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith("Beginning")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("The End")) << shown.toStdString();
    EXPECT_LE(QFontMetrics(label.font()).horizontalAdvance(shown), 249);

    label.SetCaption("Short title");
    EXPECT_EQ(label.DisplayText(), "Short title");
    label.SetCaption(QString(20000, u'w'));
    EXPECT_LE(QFontMetrics(label.font()).horizontalAdvance(label.DisplayText()), 249);
}

TEST(NxLabel, AutoSizeFitsTheCaption)
{
    TNxLabel label;
    label.SetCaption("Downloading...");
    const QFontMetrics metrics(label.font());
    EXPECT_EQ(label.size(), QSize(metrics.horizontalAdvance("Downloading..."), metrics.height()));
    label.setProperty("Caption", "x");
    EXPECT_EQ(label.width(), metrics.horizontalAdvance("x"));
}

#include "framework/TAlignLayout.h"
#include "framework/TSizeConstraints.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace {

QWidget* Child(QWidget* parent, int width, int height)
{
    auto* child = new QWidget(parent);
    child->resize(width, height);
    return child;
}

} // namespace

TEST(TAlignLayout, RightAlignedControlsStackInwardsWithTheirMargins)
{
    // The main window's top band: three pictures on the right, the banner in
    // the rest, inside a one-pixel inset.
    QWidget band;
    auto* layout = new TAlignLayout(&band);
    layout->setContentsMargins(1, 1, 1, 1);
    QWidget* help = Child(&band, 16, 45);
    QWidget* english = Child(&band, 16, 42);
    QWidget* spanish = Child(&band, 16, 42);
    QWidget* banner = Child(&band, 10, 10);
    layout->AddAligned(help, alRight, QMargins(3, 2, 5, 3));
    layout->AddAligned(english, alRight, QMargins(3, 5, 20, 3));
    layout->AddAligned(spanish, alRight, QMargins(3, 5, 5, 3));
    layout->AddAligned(banner, alClient);
    band.resize(707, 52);
    layout->setGeometry(band.rect());

    EXPECT_EQ(help->geometry(), QRect(685, 3, 16, 45));
    EXPECT_EQ(english->geometry(), QRect(646, 6, 16, 42));
    EXPECT_EQ(spanish->geometry(), QRect(622, 6, 16, 42));
    EXPECT_EQ(banner->geometry(), QRect(1, 1, 618, 50));
}

TEST(TAlignLayout, TopAndBottomTakeTheirHeightsAndTheClientTheRest)
{
    QWidget window;
    auto* layout = new TAlignLayout(&window);
    QWidget* top = Child(&window, 100, 52);
    QWidget* bottom = Child(&window, 100, 70);
    QWidget* client = Child(&window, 100, 100);
    layout->AddAligned(top, alTop);
    layout->AddAligned(bottom, alBottom);
    layout->AddAligned(client, alClient);

    for (int height : {292, 306}) {
        window.resize(707, height);
        layout->setGeometry(window.rect());
        EXPECT_EQ(top->geometry(), QRect(0, 0, 707, 52));
        EXPECT_EQ(bottom->geometry(), QRect(0, height - 70, 707, 70));
        EXPECT_EQ(client->geometry(), QRect(0, 52, 707, height - 122));
    }
}

TEST(TAlignLayout, ClientControlKeepsItsMinimumWidth)
{
    QWidget panel;
    auto* layout = new TAlignLayout(&panel);
    QWidget* right = Child(&panel, 258, 100);
    QWidget* client = Child(&panel, 430, 100);
    layout->AddAligned(right, alRight, {}, 120);
    layout->AddAligned(client, alClient, {}, 406);
    panel.resize(600, 100);
    layout->setGeometry(panel.rect());
    EXPECT_EQ(right->geometry(), QRect(342, 0, 258, 100));
    EXPECT_EQ(client->width(), 406);
}

TEST(TSizeConstraints, OuterLimitsBecomeClientLimitsThroughTheFrame)
{
    EXPECT_EQ(TSizeConstraints::ClientSize(QSize(715, 340), QMargins(4, 30, 4, 4)), QSize(707, 306));
    EXPECT_EQ(TSizeConstraints::ClientSize(QSize(680, 319), QMargins(0, 0, 0, 0)), QSize(680, 319));

    QWidget window;
    new TSizeConstraints(&window, QSize(680, 319), QSize(715, 340));
    window.resize(2000, 2000);
    QSize largest = window.size().grownBy(TSizeConstraints::AssumedFrame);
    window.resize(10, 10);
    QSize smallest = window.size().grownBy(TSizeConstraints::AssumedFrame);
    EXPECT_EQ(largest, QSize(715, 340));
    EXPECT_EQ(smallest, QSize(680, 319));
}

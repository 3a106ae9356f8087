#include "framework/WindowPlacement.h"

#include <gtest/gtest.h>

// A window beside its owner: where the screen has room, never over it.
TEST(WindowPlacement, BesideTheOwnerWhereTheScreenHasRoom)
{
    const QRect screen(0, 0, 1920, 1080);
    const QSize window(400, 300);
    const struct {
        const char* why;
        QRect owner;
        QPoint expected;
    } rows[] = {
        {"room on the right", QRect(100, 100, 715, 340), QPoint(823, 100)},
        {"on the right, pulled up into the screen", QRect(100, 900, 715, 170), QPoint(823, 780)},
        {"no room on the right: below", QRect(1200, 100, 715, 340), QPoint(1200, 448)},
        {"below, pulled left into the screen", QRect(1600, 100, 315, 340), QPoint(1520, 448)},
        {"neither right nor below: left", QRect(1200, 700, 715, 340), QPoint(792, 700)},
        {"only above", QRect(100, 700, 1800, 340), QPoint(100, 392)},
        {"no room anywhere: the screen's corner", QRect(0, 0, 1920, 1080), QPoint(1520, 780)},
    };
    for (const auto& row : rows)
        EXPECT_EQ(PlaceBeside(row.owner, window, screen), row.expected) << row.why;
}

// A cascade of windows beside the owner: each a step further, off the owner
// when the first is, starting over where the room ends.
TEST(WindowPlacement, ACascadeStaysBesideTheOwner)
{
    const QRect screen(0, 0, 1024, 768);
    const QSize window(291, 227);
    const QRect owner(0, 0, 717, 342);
    const struct {
        const char* why;
        int index;
        QPoint expected;
    } rows[] = {
        {"the first beside the owner", 0, QPoint(725, 0)},
        {"no room to step right: straight down", 1, QPoint(725, 24)},
        {"further down", 3, QPoint(725, 72)},
        {"past the screen's foot: from the top again", 24, QPoint(725, 24)},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CascadeBeside(owner, window, screen, row.index), row.expected) << row.why;
    // Where nothing fits beside, the windows still do not cover each other.
    EXPECT_NE(CascadeBeside(QRect(0, 0, 1024, 768), window, screen, 1),
              CascadeBeside(QRect(0, 0, 1024, 768), window, screen, 0));
}

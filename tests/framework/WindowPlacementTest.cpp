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

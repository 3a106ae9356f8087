#include "framework/WindowPlacement.h"

#include "framework/TSizeConstraints.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <array>

namespace {

constexpr int kGap = 8;
constexpr int kCascadeStep = 24;

QSize OuterSize(const QWidget& window)
{
    const QRect frame = window.frameGeometry();
    if (window.isVisible() && frame.size() != window.size())
        return frame.size();
    return window.size().grownBy(TSizeConstraints::AssumedFrame);
}

} // namespace

QPoint PlaceBeside(const QRect& owner, const QSize& frame, const QRect& screen)
{
    // Level with the owner's top (or left) edge, pulled back inside the
    // screen along that edge.
    auto alongX = [&](int x) {
        return std::clamp(x, screen.left(), std::max(screen.left(), screen.right() + 1 - frame.width()));
    };
    auto alongY = [&](int y) {
        return std::clamp(y, screen.top(), std::max(screen.top(), screen.bottom() + 1 - frame.height()));
    };
    const std::array<QPoint, 4> sides{
        QPoint(owner.right() + 1 + kGap, alongY(owner.top())),
        QPoint(alongX(owner.left()), owner.bottom() + 1 + kGap),
        QPoint(owner.left() - kGap - frame.width(), alongY(owner.top())),
        QPoint(alongX(owner.left()), owner.top() - kGap - frame.height()),
    };
    for (const QPoint& side : sides)
        if (screen.contains(QRect(side, frame)))
            return side;
    return {alongX(screen.right() + 1 - frame.width()), alongY(screen.bottom() + 1 - frame.height())};
}

QPoint CascadeBeside(const QRect& owner, const QSize& frame, const QRect& screen, int index)
{
    const QPoint first = PlaceBeside(owner, frame, screen);
    const bool besideTheOwner = !QRect(first, frame).intersects(owner);
    // How many windows of the cascade fit with this step: inside the screen,
    // and off the owner when the first one is.
    auto fitting = [&](QPoint step) {
        int count = 1;
        for (; count < 100; ++count) {
            const QRect next(first + count * step, frame);
            if (!screen.contains(next) || (besideTheOwner && next.intersects(owner)))
                break;
        }
        return count;
    };
    constexpr int k = kCascadeStep;
    for (QPoint step : {QPoint(k, k), QPoint(0, k), QPoint(k, 0), QPoint(-k, 0), QPoint(0, -k)}) {
        const int fit = fitting(step);
        if (fit >= 2)
            return first + (std::max(index, 0) % fit) * step;
    }
    return first;
}

void MoveBeside(QWidget& window, const QWidget& owner, int index)
{
    const QScreen* screen = owner.screen();
    if (!screen)
        return;
    const QRect frame = owner.frameGeometry();
    const QPoint outer = CascadeBeside(frame, OuterSize(window), screen->availableGeometry(), index);
    // move() places the frame's top-left corner of a top-level window.
    window.move(outer);
}

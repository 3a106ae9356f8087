#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Where a window of outer size `frame` goes beside its owner's outer
// rectangle on a screen's free area: to the right of the owner where the
// screen has room, else below it, else to its left, else above it; where
// none has room, in the screen's bottom-right corner, covering as little of
// the owner's top (its address field) as it can. Returns the outer top-left.
QPoint PlaceBeside(const QRect& owner, const QSize& frame, const QRect& screen);

// The place of window number `index` (from 0) of a cascade beside the owner:
// the first where PlaceBeside puts it, each next one a step down and to the
// right, or where that has no room straight down, or sideways; a cascade
// that starts off the owner stays off it, and counting starts over where
// the screen or that room ends.
QPoint CascadeBeside(const QRect& owner, const QSize& frame, const QRect& screen, int index);

// Moves a window that is about to be shown beside its owner, on the owner's
// screen, with the frame the window manager gives or a classic one before it
// is known.
void MoveBeside(QWidget& window, const QWidget& owner, int index = 0);

#pragma once

#include <QRect>

class QKeyEvent;
class QPainter;
class QWidget;

// Self-drawn controls that act on a click act on these keys too once they
// have the focus: Space, Return and Enter.
bool IsPressKey(const QKeyEvent& event);

// A plainly visible focus frame, two pixels wide, round the part of the
// control that acts: outside it where the control has room, over its edge
// where it has not. Drawn only while the control has the focus.
void DrawFocusFrame(QPainter& painter, const QWidget& control, const QRect& actingPart);

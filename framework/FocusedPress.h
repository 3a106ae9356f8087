#pragma once

#include <QRect>

class QKeyEvent;
class QPainter;
class QWidget;

// Self-drawn controls that act on a click act on these keys too once they
// have the focus: Space, Return and Enter.
bool IsPressKey(const QKeyEvent& event);

// The style's focus frame round the part of the control that acts, drawn
// while the control has the focus.
void DrawFocusFrame(QPainter& painter, const QWidget& control, const QRect& around);

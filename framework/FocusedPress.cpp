#include "framework/FocusedPress.h"

#include <QKeyEvent>
#include <QPainter>
#include <QWidget>

bool IsPressKey(const QKeyEvent& event)
{
    return event.key() == Qt::Key_Space || event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

// The style's own frame is a faint dotted line that a small picture hides
// (a flag's edge is as dark as it); two solid pixels in the highlight colour
// are found at a glance, on the light band and on the picture alike.
void DrawFocusFrame(QPainter& painter, const QWidget& control, const QRect& actingPart)
{
    if (!control.hasFocus())
        return;
    constexpr int kWidth = 2;
    const QColor colour = control.palette().color(QPalette::Active, QPalette::Highlight);
    const QRect frame = actingPart.adjusted(-kWidth, -kWidth, kWidth, kWidth) & control.rect();
    painter.save();
    painter.fillRect(QRect(frame.left(), frame.top(), frame.width(), kWidth), colour);
    painter.fillRect(QRect(frame.left(), frame.bottom() - kWidth + 1, frame.width(), kWidth), colour);
    painter.fillRect(QRect(frame.left(), frame.top(), kWidth, frame.height()), colour);
    painter.fillRect(QRect(frame.right() - kWidth + 1, frame.top(), kWidth, frame.height()), colour);
    painter.restore();
}

#include "framework/FocusedPress.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWidget>

bool IsPressKey(const QKeyEvent& event)
{
    return event.key() == Qt::Key_Space || event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

void DrawFocusFrame(QPainter& painter, const QWidget& control, const QRect& around)
{
    if (!control.hasFocus())
        return;
    QStyleOptionFocusRect focus;
    focus.initFrom(&control);
    focus.rect = around & control.rect();
    control.style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, &control);
}

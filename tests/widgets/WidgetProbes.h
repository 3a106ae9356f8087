#pragma once

#include <QColor>
#include <QEvent>
#include <QImage>
#include <QPoint>
#include <QRect>

class QWidget;

// The widget as it paints itself, at one pixel per unit.
QImage RenderWidget(QWidget& widget);

// Whether any pixel of the area is close to the colour.
bool AreaHasColor(const QImage& image, const QRect& area, QColor color, int tolerance = 40);

// Sends the widget a left-button press, release or a move without buttons.
void SendMouse(QWidget& widget, QEvent::Type type, QPoint at);

// A press and a release of the left button at one point.
void Click(QWidget& widget, QPoint at);

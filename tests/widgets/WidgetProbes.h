#pragma once

#include <QColor>
#include <QEvent>
#include <QImage>
#include <QPoint>
#include <QRect>

class QWidget;

// The widget as it paints itself over the background, at ratio pixels per
// unit (a pixel straddling the widget's last edge counts as the widget's).
QImage RenderWidget(QWidget& widget, qreal ratio = 1, QColor background = Qt::white);

// Whether any pixel of the area is close to the colour.
bool AreaHasColor(const QImage& image, const QRect& area, QColor color, int tolerance = 40);

// Sends the widget a left-button press, release or a move without buttons.
void SendMouse(QWidget& widget, QEvent::Type type, QPoint at);

// A press and a release of the left button at one point.
void Click(QWidget& widget, QPoint at);

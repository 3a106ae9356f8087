#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

class QWidget;

// The widget as it paints itself, at one pixel per unit.
QImage RenderWidget(QWidget& widget);

// Whether any pixel of the area is close to the colour.
bool AreaHasColor(const QImage& image, const QRect& area, QColor color, int tolerance = 40);

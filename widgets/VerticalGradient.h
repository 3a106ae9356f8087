#pragma once

#include "widgets/TColor.h"

#include <QRect>

class QPainter;

// Fills the rectangle row by row: row y gets a + (b - a) * (y - top) / height,
// rounded per channel.
void PaintVerticalGradient(QPainter& painter, const QRect& area, TColor from, TColor to);

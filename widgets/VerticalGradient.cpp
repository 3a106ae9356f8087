#include "widgets/VerticalGradient.h"

#include <QPainter>

#include <cmath>

void PaintVerticalGradient(QPainter& painter, const QRect& area, TColor from, TColor to)
{
    if (area.height() <= 0 || area.width() <= 0)
        return;
    const QColor a = ToQColor(from);
    const QColor b = ToQColor(to);
    const int height = area.height();
    auto channel = [height](int start, int end, int row) {
        return static_cast<int>(std::lround(start + (end - start) * static_cast<double>(row) / height));
    };
    for (int row = 0; row < height; ++row) {
        const QColor color(channel(a.red(), b.red(), row), channel(a.green(), b.green(), row),
                           channel(a.blue(), b.blue(), row));
        painter.fillRect(QRect(area.left(), area.top() + row, area.width(), 1), color);
    }
}

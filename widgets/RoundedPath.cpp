#include "widgets/RoundedPath.h"

#include <algorithm>

QPainterPath RoundedRectPath(const QRectF& area, qreal radius, int corners)
{
    QPainterPath path;
    const qreal r = std::clamp(radius, 0.0, std::min(area.width(), area.height()) / 2);
    if (r <= 0 || corners == 0) {
        path.addRect(area);
        return path;
    }
    const qreal d = 2 * r;
    auto radiusAt = [&](int corner) { return (corners & corner) ? r : 0.0; };
    path.moveTo(area.left() + radiusAt(cnTopLeft), area.top());
    path.lineTo(area.right() - radiusAt(cnTopRight), area.top());
    if (corners & cnTopRight)
        path.arcTo(area.right() - d, area.top(), d, d, 90, -90);
    path.lineTo(area.right(), area.bottom() - radiusAt(cnBottomRight));
    if (corners & cnBottomRight)
        path.arcTo(area.right() - d, area.bottom() - d, d, d, 0, -90);
    path.lineTo(area.left() + radiusAt(cnBottomLeft), area.bottom());
    if (corners & cnBottomLeft)
        path.arcTo(area.left(), area.bottom() - d, d, d, 270, -90);
    path.lineTo(area.left(), area.top() + radiusAt(cnTopLeft));
    if (corners & cnTopLeft)
        path.arcTo(area.left(), area.top(), d, d, 180, -90);
    path.closeSubpath();
    return path;
}

#pragma once

#include <QPainterPath>
#include <QRectF>

// Corners of a rectangle, combinable.
enum TCorner { cnTopLeft = 1, cnTopRight = 2, cnBottomRight = 4, cnBottomLeft = 8, cnAll = 15 };

// A rectangle whose chosen corners are quarter circles of the given radius
// (at most half the shorter side).
QPainterPath RoundedRectPath(const QRectF& area, qreal radius, int corners);

#include "widgets/TGDIPFill.h"

#include "widgets/RoundedPath.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace {

int CornersOf(TFillRoundingType type)
{
    switch (type) {
    case rtTop: return cnTopLeft | cnTopRight;
    case rtBottom: return cnBottomLeft | cnBottomRight;
    case rtBoth: return cnAll;
    case rtLeft: return cnTopLeft | cnBottomLeft;
    case rtRight: return cnTopRight | cnBottomRight;
    case rtNone: break;
    }
    return 0;
}

int Override(int requested, int own)
{
    return requested == TFillOpacities::KeepOwn ? own : requested;
}

// The end points of a linear gradient that spans area enlarged by one pixel.
QLineF GradientLine(const QRectF& area, TGDIPGradient type, int angle)
{
    const QRectF span = area.adjusted(-1, -1, 1, 1);
    switch (type) {
    case gtHorizontal: return {span.topLeft(), span.topRight()};
    case gtForwardDiagonal: return {span.topLeft(), span.bottomRight()};
    case gtBackwardDiagonal: return {span.topRight(), span.bottomLeft()};
    case gtAngle: {
        const qreal radians = angle * M_PI / 180.0;
        const QPointF half(std::cos(radians) * span.width() / 2, std::sin(radians) * span.height() / 2);
        return {span.center() - half, span.center() + half};
    }
    default: return {span.topLeft(), span.bottomLeft()};
    }
}

} // namespace

void TGDIPFill::SetBackGroundPicture(const QImage& value)
{
    backGroundPicture_ = value;
    Changed();
}

void TGDIPFill::Assign(const TGDIPFill& source)
{
    const TWidgetNotifyEvent handler = OnChange;
    *this = source;
    OnChange = handler;
    Changed();
}

void TGDIPFill::Fill(QPainter& painter, QRectF area, const TFillOpacities& opacities) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    if (area.width() == 1 || area.height() == 1) {
        DrawLine(painter, area);
    } else {
        DrawShadow(painter, area);
        DrawGradients(painter, area, opacities);
        DrawBorder(painter, area);
    }
    painter.restore();
}

void TGDIPFill::DrawLine(QPainter& painter, const QRectF& area) const
{
    if (borderWidth_ <= 0 || borderColor_ == clNone)
        return;
    painter.setPen(QPen(ToQColor(borderColor_, borderOpacity_), borderWidth_));
    // An area one pixel high is a horizontal line, one pixel wide a vertical one.
    if (area.height() == 1)
        painter.drawLine(area.topLeft(), area.topRight());
    else
        painter.drawLine(area.topLeft(), area.bottomLeft());
}

void TGDIPFill::DrawShadow(QPainter& painter, QRectF& area) const
{
    if (shadowOffset_ <= 0 || shadowColor_ == clNone)
        return;
    // Transparent at the edge, the shadow colour from a tenth inwards.
    QRadialGradient gradient(area.center(), std::max(area.width(), area.height()) / 2);
    gradient.setColorAt(0, ToQColor(shadowColor_, 180));
    gradient.setColorAt(0.9, ToQColor(shadowColor_, 180));
    gradient.setColorAt(1, ToQColor(shadowColor_, 0));
    painter.fillPath(Shape(area, hWhole), gradient);
    area.setWidth(area.width() - shadowOffset_);
    area.setHeight(area.height() - shadowOffset_);
}

void TGDIPFill::DrawGradients(QPainter& painter, const QRectF& area, const TFillOpacities& opacities) const
{
    const int opacity = Override(opacities.Opacity, opacity_);
    const int opacityTo = Override(opacities.OpacityTo, opacityTo_);
    if (gradientType_ == gtHatch || gradientType_ == gtTexture || colorMirror_ == clNone) {
        DrawGradient(painter, Shape(area, hWhole), area, color_, colorTo_, gradientType_, opacity, opacityTo,
                     hatchStyle_);
        return;
    }
    const qreal middle = area.height() / 2;
    const QRectF top(area.left(), area.top(), area.width(), middle + 1);
    DrawGradient(painter, Shape(top, hTop), top, color_, colorTo_, gradientType_, opacity, opacityTo, hatchStyle_);

    const int opacityMirror = Override(opacities.OpacityMirror, opacityMirror_);
    const QRectF bottom(area.left(), area.top() + middle - 1, area.width(), area.height() - middle + 1);
    const QPainterPath bottomShape = Shape(bottom, hBottom);
    DrawGradient(painter, bottomShape, bottom, colorMirror_, colorMirrorTo_, gradientMirrorType_, opacityMirror,
                 Override(opacities.OpacityMirrorTo, opacityMirrorTo_), hatchStyleMirror_);
    // A solid first row hides the seam between the halves.
    QPainterPath seam;
    seam.addRect(bottom.left(), bottom.top(), bottom.width(), 1);
    painter.fillPath(bottomShape.intersected(seam), ToQColor(colorMirror_, opacityMirror));
}

void TGDIPFill::DrawGradient(QPainter& painter, const QPainterPath& shape, const QRectF& area, TColor from, TColor to,
                             TGDIPGradient type, int opacityFrom, int opacityTo, Qt::BrushStyle hatch) const
{
    if (from == clNone || type == gtPath || type == gtNone)
        return;
    const QColor start = ToQColor(from, opacityFrom);
    if (to == clNone || type == gtSolid) {
        painter.fillPath(shape, start);
        return;
    }
    const QColor end = ToQColor(to, opacityTo);
    switch (type) {
    case gtHatch:
        painter.fillPath(shape, end);
        painter.fillPath(shape, QBrush(start, hatch));
        return;
    case gtTexture:
        if (!backGroundPicture_.isNull())
            painter.fillPath(shape, QBrush(backGroundPicture_));
        return;
    case gtRadial: {
        QRadialGradient gradient(area.center(), std::max(area.width(), area.height()) / 2);
        gradient.setColorAt(0, start);
        gradient.setColorAt(1, end);
        painter.fillPath(shape, gradient);
        return;
    }
    default: {
        const QLineF line = GradientLine(area, type, angle_);
        QLinearGradient gradient(line.p1(), line.p2());
        gradient.setColorAt(0, start);
        gradient.setColorAt(1, end);
        painter.fillPath(shape, gradient);
        return;
    }
    }
}

void TGDIPFill::DrawBorder(QPainter& painter, const QRectF& area) const
{
    if (borderWidth_ <= 0 || borderColor_ == clNone)
        return;
    painter.strokePath(Shape(area, hWhole), QPen(ToQColor(borderColor_, borderOpacity_), borderWidth_));
}

QPainterPath TGDIPFill::Shape(const QRectF& area, Half half) const
{
    int corners = CornersOf(roundingType_);
    if (half == hTop)
        corners &= cnTopLeft | cnTopRight;
    else if (half == hBottom)
        corners &= cnBottomLeft | cnBottomRight;
    return RoundedRectPath(area, rounding_, corners);
}

#include "widgets/TProgressBarPainter.h"

#include "widgets/TGDIPProgress.h"
#include "widgets/ValueFormat.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr qreal kBandWidth = 10;
constexpr int kBandOpacity = 30;
constexpr qreal kGlowWidth = 30;
constexpr int kGlowOpacity = 120;

double ClampValue(double value, double minimum, double maximum)
{
    if (std::isnan(value))
        return minimum;
    return std::min(std::max(value, minimum), maximum);
}

void FillGradient(QPainter& painter, const QRectF& area, QPointF from, QPointF to, QColor start, QColor end)
{
    if (area.width() <= 0 || area.height() <= 0)
        return;
    QLinearGradient gradient(from, to);
    gradient.setColorAt(0, start);
    gradient.setColorAt(1, end);
    painter.fillRect(area, gradient);
}

// Darkens both ends of area, the outer edges most.
void PaintEndBands(QPainter& painter, const QRectF& area)
{
    const QColor dark(0, 0, 0, kBandOpacity);
    const QColor clear(0, 0, 0, 0);
    const qreal band = std::min(kBandWidth, area.width());
    const QRectF left(area.left(), area.top(), band, area.height());
    FillGradient(painter, left, left.topLeft(), left.topRight(), dark, clear);
    const QRectF right(area.right() - band, area.top(), band, area.height());
    FillGradient(painter, right, right.topLeft(), right.topRight(), clear, dark);
}

} // namespace

TProgressBarPainter::TProgressBarPainter(const TGDIPProgress& appearance, const TProgressBarState& state)
    : appearance_(appearance), state_(state)
{}

TProgressBarGeometry TProgressBarPainter::Geometry(const TGDIPProgress& appearance, const QRect& client,
                                                   const TProgressBarState& state)
{
    TProgressBarGeometry geometry;
    QRectF inner(client.left(), client.top(), client.width() - 1, client.height() - 1);
    const TGDIPFill& background = appearance.BackGroundFill();
    if (background.BorderColor() != clNone) {
        const int width = background.BorderWidth();
        const qreal shrink = width == 1 ? 1 : (width + 1) / 2;
        inner.adjust(shrink, shrink, -shrink, -shrink);
    }
    geometry.Inner = inner;

    const TGDIPFill& progress = appearance.ProgressFill();
    const qreal border = progress.BorderColor() != clNone ? progress.BorderWidth() : 0;
    const qreal available = std::max<qreal>(inner.width() - border, 0);
    qreal width = 0;
    if (state.Maximum > state.Minimum) {
        const double value = ClampValue(state.Value, state.Minimum, state.Maximum);
        width = std::min<qreal>((value - state.Minimum) / (state.Maximum - state.Minimum) * available, available);
    }
    geometry.Filled =
        QRectF(inner.left() + border / 2, inner.top() + border / 2, width, std::max<qreal>(inner.height() - border, 0));
    return geometry;
}

QString TProgressBarPainter::ValueText() const
{
    double value = ClampValue(state_.Value, state_.Minimum, state_.Maximum);
    if (appearance_.ValueType() == vtPercentage) {
        value = state_.Maximum > state_.Minimum ? (value - state_.Minimum) / (state_.Maximum - state_.Minimum) * 100
                                                : state_.Maximum;
    }
    return FormatValue(appearance_.ValueFormat(), value);
}

void TProgressBarPainter::Paint(QPainter& painter, const QRect& client) const
{
    const TProgressBarGeometry geometry = Geometry(appearance_, client, state_);
    const bool opaque = !appearance_.Transparent();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // Pixel centres sit on whole coordinates, so one-pixel borders on whole
    // coordinates cover exactly one row of pixels.
    painter.translate(0.5, 0.5);
    if (opaque)
        appearance_.BackGroundFill().Fill(painter,
                                          QRectF(client.left(), client.top(), client.width() - 1, client.height() - 1));
    if (state_.Value > state_.Minimum) {
        appearance_.ProgressFill().Fill(painter, geometry.Filled);
        if (geometry.Filled.width() > 0)
            PaintEndBands(painter, geometry.Filled);
    }
    if (opaque)
        PaintEndBands(painter, geometry.Inner);
    if (appearance_.ValueVisible())
        PaintValueText(painter, client, geometry);
    if (opaque)
        PaintGloss(painter, geometry.Inner);
    if (state_.GlowAllowed && state_.Value > 0)
        PaintGlow(painter, geometry.Filled);
    painter.restore();
}

void TProgressBarPainter::PaintValueText(QPainter& painter, const QRect& client,
                                         const TProgressBarGeometry& geometry) const
{
    const QString text = ValueText();
    const QFontMetricsF metrics(appearance_.Font());
    const qreal textWidth = metrics.horizontalAdvance(text);
    const qreal textHeight = metrics.height();
    const QRectF& inner = geometry.Inner;
    const QRectF& filled = geometry.Filled;
    QPointF at(inner.left(), inner.top() + (inner.height() - textHeight) / 2);
    switch (appearance_.ValuePosition()) {
    case vpProgressCenter:
        at.setX(filled.width() >= textWidth ? filled.left() + (filled.width() - textWidth) / 2 : filled.left());
        break;
    case vpProgressRight: at.setX(filled.width() >= textWidth ? filled.right() - textWidth : filled.left()); break;
    case vpCenter: at.setX(inner.left() + (inner.width() - textWidth) / 2); break;
    case vpLeft: break;
    case vpRight: at.setX(inner.right() - textWidth); break;
    case vpCustom:
        at = QPointF(client.left() + appearance_.ValuePositionLeft(), client.top() + appearance_.ValuePositionTop());
        break;
    }
    const bool overFill = filled.right() > at.x() + textWidth / 2;
    const QFont& font = overFill ? appearance_.ProgressFont() : appearance_.Font();
    const TColor color = overFill ? appearance_.ProgressFontColor() : appearance_.FontColor();
    painter.setFont(font);
    painter.setPen(ToQColor(color));
    painter.drawText(QPointF(at.x(), at.y() + QFontMetricsF(font).ascent()), text);
}

void TProgressBarPainter::PaintGloss(QPainter& painter, const QRectF& inner) const
{
    const qreal topHeight = inner.height() / 2.5;
    const QRectF top(inner.left(), inner.top(), inner.width(), topHeight);
    FillGradient(painter, top, top.topLeft(), top.bottomLeft(), QColor(255, 255, 255, 180), QColor(255, 255, 255, 0));
    const qreal bottomHeight = inner.height() / 5;
    const QRectF bottom(inner.left(), inner.bottom() - bottomHeight, inner.width(), bottomHeight);
    FillGradient(painter, bottom, bottom.topLeft(), bottom.bottomLeft(), QColor(255, 255, 255, 0),
                 QColor(255, 255, 255, 255));
}

void TProgressBarPainter::PaintGlow(QPainter& painter, const QRectF& filled) const
{
    if (filled.width() <= 0)
        return;
    painter.save();
    painter.setClipRect(filled);
    const qreal centre = filled.left() + state_.GlowPosition;
    const QColor bright(255, 255, 255, kGlowOpacity);
    const QColor clear(255, 255, 255, 0);
    const QRectF left(centre - kGlowWidth, filled.top(), kGlowWidth, filled.height());
    FillGradient(painter, left, left.topLeft(), left.topRight(), clear, bright);
    const QRectF right(centre, filled.top(), kGlowWidth, filled.height());
    FillGradient(painter, right, right.topLeft(), right.topRight(), bright, clear);
    painter.restore();
}

// Painting of the header panel: body, header band by style, collapse button,
// glyph and caption, and the frame.
#include "widgets/TNxHeaderPanel.h"

#include "widgets/ElideText.h"
#include "widgets/VerticalGradient.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr TColor kButtonHotFrom = 0xDCFFFF;
constexpr TColor kButtonHotTo = 0x5FC2F8;
constexpr TColor kButtonPressedFrom = 0x087FE8;
constexpr TColor kButtonPressedTo = 0x7AD9F7;
constexpr int kVistaStartWeight = 150;
constexpr int kVistaWeightStep = 7;

// A line from one pixel to another, both included, filled as a rectangle one
// pixel wide: at fractional scales a pen's line leaves the pixels beside it
// unpainted, while filled areas meet edge to edge.
void DrawLine(QPainter& painter, QPoint from, QPoint to, TColor color)
{
    painter.fillRect(QRectF(QRect(from, to)), ToQColor(color));
}

} // namespace

void TNxHeaderPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect client = ClientRect();
    if (displayStyle_ == dsPanelOnly) {
        painter.fillRect(client, ToQColor(color_));
        PaintFrame(painter);
        return;
    }
    if (displayStyle_ != dsHeaderOnly)
        PaintBody(painter, client);
    const QRect header = HeaderRect();
    PaintHeader(painter, header);
    int captionLeft = header.left() + indent_;
    int captionRight = header.right() + 1;
    if (options_ & hoCollapseButton) {
        PaintCollapseButton(painter);
        captionRight = CollapseButtonRect().left();
    }
    if (expanded_) {
        if (!glyph_.isNull()) {
            painter.drawImage(GlyphRect().topLeft(), glyph_);
            captionLeft += glyph_.width() + 7;
        }
        PaintCaption(painter, captionLeft, captionRight);
    }
    PaintFrame(painter);
}

void TNxHeaderPanel::PaintBody(QPainter& painter, const QRect& client) const
{
    const QRect body(client.left(), client.top() + headerSize_, client.width(), client.height() - headerSize_);
    if (!picture_.isNull())
        painter.drawImage(body, picture_);
    else
        painter.fillRect(body, ToQColor(color_));
}

void TNxHeaderPanel::PaintHeader(QPainter& painter, const QRect& header) const
{
    switch (headerStyle_) {
    case psFlat: painter.fillRect(header, ToQColor(headerColor_)); break;
    case psNormal: PaintNormalHeader(painter, header); break;
    case psSectionHeader: PaintSectionHeader(painter, header); break;
    case psVista: PaintVistaHeader(painter, header); break;
    case psWindowsLive: PaintWindowsLiveHeader(painter, header); break;
    }
}

void TNxHeaderPanel::PaintNormalHeader(QPainter& painter, const QRect& header) const
{
    const QRect inside = header.adjusted(1, 1, 0, -1);
    if (adaptiveColors_)
        PaintVerticalGradient(painter, inside, SchemeColor(colorScheme_, scHeaderGradientStart),
                              SchemeColor(colorScheme_, scHeaderGradientEnd));
    else
        PaintVerticalGradient(painter, inside, clWindow, headerColor_);
    DrawLine(painter, header.topLeft(), header.bottomLeft(), clWhite);
    DrawLine(painter, header.topLeft(), header.topRight(), clWhite);
    DrawLine(painter, QPoint(header.left(), header.bottom()), header.bottomRight(),
             SchemeColor(colorScheme_, scHeaderBottomLine));
}

void TNxHeaderPanel::PaintSectionHeader(QPainter& painter, const QRect& header) const
{
    // Visual themes count as inactive here, so only the plain fills apply.
    painter.fillRect(header, ToQColor(adaptiveColors_ ? clGrayText : headerColor_));
}

void TNxHeaderPanel::PaintVistaHeader(QPainter& painter, const QRect& header) const
{
    painter.fillRect(header, Qt::black);
    const int half = header.height() / 2;
    for (int row = 0, weight = kVistaStartWeight; row < half && weight >= 0; ++row, weight -= kVistaWeightStep)
        painter.fillRect(QRect(header.left(), header.top() + row, header.width(), 1),
                         ToQColor(BlendColors(clWhite, clBlack, weight)));
}

void TNxHeaderPanel::PaintWindowsLiveHeader(QPainter& painter, const QRect& header) const
{
    const TColor headerColor = adaptiveColors_ ? SchemeColor(colorScheme_, scWindowsLive) : headerColor_;
    PaintVerticalGradient(painter, header, color_, headerColor);
    // A whiter column down the middle gives the soft glow.
    QLinearGradient glow(header.topLeft(), header.topRight());
    glow.setColorAt(0, QColor(255, 255, 255, 0));
    glow.setColorAt(0.5, QColor(255, 255, 255, 110));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    painter.fillRect(header, glow);
    DrawLine(painter, header.topLeft(), header.topRight(), clWhite);
    const TColor edge = SchemeColor(colorScheme_, scWindowsLive);
    DrawLine(painter, header.topLeft(), header.bottomLeft(), edge);
    DrawLine(painter, header.topRight(), header.bottomRight(), edge);
    DrawLine(painter, header.bottomLeft(), header.bottomRight(), edge);
}

void TNxHeaderPanel::PaintCollapseButton(QPainter& painter) const
{
    const QRect button = CollapseButtonRect();
    if (buttonState_ & bsPressed)
        PaintVerticalGradient(painter, button, kButtonPressedFrom, kButtonPressedTo);
    else if (buttonState_ & bsHot)
        PaintVerticalGradient(painter, button, kButtonHotFrom, kButtonHotTo);
    // A double chevron: towards the collapsed side when expanded, back when
    // collapsed; mirrored for right-to-left panels.
    const bool pointLeft = expanded_ == (drawDirection_ == diLeftToRight);
    const int direction = pointLeft ? -1 : 1;
    const QPoint centre = button.center();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(ToQColor(CaptionColor()), 1.5));
    for (int offset : {-2, 2}) {
        const int tip = centre.x() + offset + 2 * direction;
        QPainterPath chevron;
        chevron.moveTo(tip - 3 * direction, centre.y() - 3);
        chevron.lineTo(tip, centre.y());
        chevron.lineTo(tip - 3 * direction, centre.y() + 3);
        painter.drawPath(chevron);
    }
    painter.restore();
}

TColor TNxHeaderPanel::CaptionColor() const
{
    if (options_ & hoColorSchemeFont)
        return SchemeColor(kDefaultColorScheme, scHeaderText);
    return headerFontColor_;
}

void TNxHeaderPanel::PaintCaption(QPainter& painter, int left, int right) const
{
    if (right <= left || caption_.isEmpty())
        return;
    const QRect area(left, HeaderRect().top(), right - left, headerSize_);
    const QFontMetrics metrics(headerFont_);
    painter.setFont(headerFont_);
    painter.setPen(ToQColor(CaptionColor()));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     ElideEnd(caption_, metrics, area.width()));
}

TColor TNxHeaderPanel::FrameColor() const
{
    return adaptiveColors_ ? SchemeColor(colorScheme_, scFrame) : borderColor_;
}

void TNxHeaderPanel::PaintFrame(QPainter& painter) const
{
    const TColor color = FrameColor();
    for (int ring = 0; ring < borderWidth_ && ring < (std::min(width(), height()) + 1) / 2; ++ring) {
        const QRect edge = rect().adjusted(ring, ring, -ring, -ring);
        DrawLine(painter, edge.topLeft(), edge.topRight(), color);
        DrawLine(painter, edge.bottomLeft(), edge.bottomRight(), color);
        DrawLine(painter, edge.topLeft(), edge.bottomLeft(), color);
        DrawLine(painter, edge.topRight(), edge.bottomRight(), color);
    }
}

#include "app/StandInPanels.h"

#include "framework/Guard.h"

#include <QMouseEvent>
#include <QPainter>

THeaderPanelStandIn::THeaderPanelStandIn(QWidget* parent, const QString& name) : QWidget(parent)
{
    setObjectName(name);
    setAutoFillBackground(true);
    UpdateMargins();
}

void THeaderPanelStandIn::SetCaption(const QString& caption)
{
    caption_ = caption;
    update();
}

void THeaderPanelStandIn::SetBorderWidth(int width)
{
    if (borderWidth_ == width)
        return;
    borderWidth_ = width;
    UpdateMargins();
    update();
}

void THeaderPanelStandIn::SetBorderColor(QColor color)
{
    borderColor_ = color;
    update();
}

void THeaderPanelStandIn::SetHeaderSize(int size)
{
    headerSize_ = size;
    UpdateMargins();
}

void THeaderPanelStandIn::SetHeaderColor(QColor color)
{
    headerColor_ = color;
    update();
}

// Children sit inside the frame, below the header, within the inner margins.
void THeaderPanelStandIn::UpdateMargins()
{
    setContentsMargins(borderWidth_ + 9, borderWidth_ + headerSize_ + 5, borderWidth_ + 8, borderWidth_ + 4);
}

void THeaderPanelStandIn::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QRect inside = rect().adjusted(borderWidth_, borderWidth_, -borderWidth_, -borderWidth_);
    QRect header(inside.left(), inside.top(), inside.width(), headerSize_);
    painter.fillRect(header, headerColor_);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(header.adjusted(8, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, caption_);
    for (int ring = 0; ring < borderWidth_; ++ring) {
        painter.setPen(borderColor_);
        painter.drawRect(rect().adjusted(ring, ring, -ring - 1, -ring - 1));
    }
}

TLinkLabelStandIn::TLinkLabelStandIn(QWidget* parent, const QString& name) : QLabel(parent)
{
    setObjectName(name);
    setTextFormat(Qt::RichText);
    setCursor(Qt::PointingHandCursor);
}

void TLinkLabelStandIn::SetCaption(const QString& caption)
{
    caption_ = caption;
    setText(caption);
}

void TLinkLabelStandIn::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && OnClick)
        Guarded([this] { OnClick(this); });
}

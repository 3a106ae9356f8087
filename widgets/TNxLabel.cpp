#include "widgets/TNxLabel.h"

#include "framework/AccessibleFactory.h"
#include "widgets/ElideText.h"
#include "widgets/StoreValue.h"
#include "widgets/StyledAccessibility.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

TNxLabel::TNxLabel(QWidget* parent) : QWidget(parent)
{
    EnsureAccessibleFactory(&StyledWidgetAccessible);
    AdjustSize();
}

TNxLabel::~TNxLabel()
{
    if (associate_)
        associate_->removeEventFilter(this);
}

void TNxLabel::SetCaption(const QString& value)
{
    if (!StoreValue(caption_, value))
        return;
    AdjustSize();
    Place();
    update();
    emit CaptionChanged();
}

void TNxLabel::SetAutoSize(bool value)
{
    autoSize_ = value;
    AdjustSize();
}

void TNxLabel::SetWordWrap(bool value)
{
    wordWrap_ = value;
    AdjustSize();
    update();
}

void TNxLabel::SetEllipsisPosition(TEllipsisPosition value)
{
    ellipsisPosition_ = value;
    update();
}

void TNxLabel::SetFontColor(TColor value)
{
    fontColor_ = value;
    update();
}

void TNxLabel::SetAssociate(QWidget* value)
{
    if (value == this || value == associate_)
        return;
    if (associate_)
        associate_->removeEventFilter(this);
    associate_ = value;
    if (associate_) {
        associate_->installEventFilter(this);
        Place();
    }
}

void TNxLabel::SetHorizontalPosition(TNxHorizontalPosition value)
{
    horizontalPosition_ = value;
    Place();
}

void TNxLabel::SetVerticalPosition(TNxVerticalPosition value)
{
    verticalPosition_ = value;
    Place();
}

void TNxLabel::SetInnerHorizontal(bool value)
{
    innerHorizontal_ = value;
    Place();
}

void TNxLabel::SetInnerVertical(bool value)
{
    innerVertical_ = value;
    Place();
}

void TNxLabel::SetInnerMargins(const TNxLabelMargins& value)
{
    if (!StoreValue(innerMargins_, value))
        return;
    Place();
}

bool TNxLabel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == associate_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        Place();
    return QWidget::eventFilter(watched, event);
}

void TNxLabel::Place()
{
    if (!associate_)
        return;
    const QRect associate = associate_->geometry();
    move(PlacedLeft(associate), PlacedTop(associate));
}

int TNxLabel::PlacedLeft(const QRect& a) const
{
    const int w = width();
    const int h = innerMargins_.Horizontal;
    switch (horizontalPosition_) {
    case hpLeft: return innerHorizontal_ ? a.left() + h : a.left() - w - h;
    case hpCenter: return a.left() + a.width() / 2 + h - w / 2;
    case hpRight: return innerHorizontal_ ? a.left() + a.width() - w - h : a.left() + a.width() + h;
    }
    return a.left();
}

int TNxLabel::PlacedTop(const QRect& a) const
{
    const int h = height();
    const int v = innerMargins_.Vertical;
    switch (verticalPosition_) {
    case vpTop: return innerVertical_ ? a.top() + v : a.top() - h - v;
    case vpMiddle: return a.top() + a.height() / 2 + v - h / 2;
    case vpBottom: return innerVertical_ ? a.top() + a.height() + v - h : a.top() + a.height() + v;
    }
    return a.top();
}

void TNxLabel::AdjustSize()
{
    if (!autoSize_)
        return;
    const QFontMetrics metrics(font());
    if (wordWrap_) {
        const QRect bounds = metrics.boundingRect(QRect(0, 0, width(), 1 << 16), Qt::TextWordWrap, caption_);
        resize(width(), bounds.height());
    } else {
        resize(metrics.horizontalAdvance(caption_), metrics.height());
    }
}

QString TNxLabel::DisplayText() const
{
    if (autoSize_)
        return caption_;
    const QFontMetrics metrics(font());
    switch (ellipsisPosition_) {
    case epPathEllipsis: return ElideMiddle(caption_, metrics, width());
    case epEndEllipsis:
    case epWordEllipsis: return ElideEnd(caption_, metrics, width());
    case epNone: break;
    }
    return caption_;
}

void TNxLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(ToQColor(fontColor_));
    const bool shortened = !autoSize_ && ellipsisPosition_ != epNone;
    const int flags = Qt::AlignLeft | Qt::AlignTop | (wordWrap_ && !shortened ? Qt::TextWordWrap : 0);
    painter.drawText(rect(), flags, DisplayText());
}

void TNxLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        AdjustSize();
        update();
    }
    QWidget::changeEvent(event);
}

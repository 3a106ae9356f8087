#include "widgets/TNxHtmlLabel.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

TNxHtmlLabel::TNxHtmlLabel(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
}

void TNxHtmlLabel::SetCaption(const QString& value)
{
    if (caption_ == value)
        return;
    caption_ = value;
    AdjustSize();
    update();
}

void TNxHtmlLabel::SetAutoSize(bool value)
{
    autoSize_ = value;
    AdjustSize();
}

void TNxHtmlLabel::SetColor(TColor value)
{
    color_ = value;
    SetParentColor(false);
}

void TNxHtmlLabel::SetParentColor(bool value)
{
    parentColor_ = value;
    // In the parent's colour the label leaves its background to the parent,
    // which also shows any shading the parent's style draws there.
    setAttribute(Qt::WA_OpaquePaintEvent, !value);
    update();
}

void TNxHtmlLabel::SetFontColor(TColor value)
{
    fontColor_ = value;
    update();
}

void TNxHtmlLabel::SetCursor(Qt::CursorShape value)
{
    cursor_ = value;
    setCursor(value);
}

THtmlLayoutResult TNxHtmlLabel::Layout(std::optional<QPoint> probe) const
{
    return THtmlLayout::Run(caption_, font(), fontColor_, rect(), probe);
}

void TNxHtmlLabel::AdjustSize()
{
    if (!autoSize_)
        return;
    const THtmlLayoutResult layout = Layout();
    resize(layout.MaxX, layout.Height);
}

void TNxHtmlLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!parentColor_)
        painter.fillRect(rect(), ToQColor(color_));
    THtmlLayout::Draw(painter, Layout());
}

void TNxHtmlLabel::mouseMoveEvent(QMouseEvent* event)
{
    const bool overLink = !LinkAt(event->position().toPoint()).isEmpty();
    setCursor(overLink ? Qt::PointingHandCursor : cursor_);
    QWidget::mouseMoveEvent(event);
}

void TNxHtmlLabel::leaveEvent(QEvent* event)
{
    if (cursor().shape() == Qt::PointingHandCursor)
        setCursor(cursor_);
    QWidget::leaveEvent(event);
}

void TNxHtmlLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        pressed_ = true;
    QWidget::mousePressEvent(event);
}

void TNxHtmlLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const bool clicked = pressed_ && event->button() == Qt::LeftButton && rect().contains(at);
    pressed_ = false;
    // Both handlers are copied first: a click handler may rebind them.
    const QString href = LinkAt(at);
    const TLinkClickEvent linkClick = OnLinkClick;
    if (clicked)
        DispatchEvent(OnClick, this);
    if (!href.isEmpty())
        DispatchEvent(linkClick, this, href);
}

void TNxHtmlLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        AdjustSize();
        update();
    }
    QWidget::changeEvent(event);
}

#include "widgets/TNxHtmlLabel.h"

#include "framework/AccessibleFactory.h"
#include "framework/FocusedPress.h"
#include "widgets/StoreValue.h"
#include "widgets/StyledAccessibility.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

TNxHtmlLabel::TNxHtmlLabel(QWidget* parent) : QWidget(parent)
{
    EnsureAccessibleFactory(&StyledWidgetAccessible);
    setMouseTracking(true);
}

void TNxHtmlLabel::SetCaption(const QString& value)
{
    if (!StoreValue(caption_, value))
        return;
    AdjustSize();
    setFocusPolicy(Layout().Links.empty() ? Qt::NoFocus : Qt::TabFocus);
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

QString TNxHtmlLabel::PlainText() const
{
    QString text;
    for (const THtmlRun& run : Layout().Runs)
        text += run.Text;
    return text;
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
    const THtmlLayoutResult layout = Layout();
    THtmlLayout::Draw(painter, layout);
    if (!layout.Links.empty())
        DrawFocusFrame(painter, *this, layout.Links.front().Area);
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
    const QString href = LinkAt(at);
    if (clicked)
        RaiseClick(href);
    else if (!href.isEmpty())
        DispatchEvent(OnLinkClick, this, href);
}

void TNxHtmlLabel::keyPressEvent(QKeyEvent* event)
{
    if (!IsPressKey(*event) || Layout().Links.empty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    Click();
}

void TNxHtmlLabel::Click()
{
    const THtmlLayoutResult layout = Layout();
    RaiseClick(layout.Links.empty() ? QString() : layout.Links.front().Href);
}

void TNxHtmlLabel::RaiseClick(const QString& href)
{
    // The link handler is copied first: a click handler may rebind it.
    const TLinkClickEvent linkClick = OnLinkClick;
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

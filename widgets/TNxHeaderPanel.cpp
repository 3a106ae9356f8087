#include "widgets/TNxHeaderPanel.h"

#include "framework/AccessibleFactory.h"
#include "widgets/StyledAccessibility.h"

#include <QEvent>
#include <QMouseEvent>

#include <algorithm>

namespace {

constexpr int kCollapsedWidth = 33;
constexpr int kButtonSize = 18;
constexpr int kGlyphLeft = 5;

std::vector<TNxHeaderPanel*>& PanelList()
{
    static std::vector<TNxHeaderPanel*> panels;
    return panels;
}

} // namespace

TNxHeaderPanel::TNxHeaderPanel(QWidget* parent) : QWidget(parent), headerFont_(font())
{
    EnsureAccessibleFactory(&StyledWidgetAccessible);
    PanelList().push_back(this);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    innerMargins_.OnChange = [this] { Realign(); };
    resize(245, 245);
    Realign();
}

TNxHeaderPanel::~TNxHeaderPanel()
{
    auto& panels = PanelList();
    panels.erase(std::remove(panels.begin(), panels.end(), this), panels.end());
}

const std::vector<TNxHeaderPanel*>& TNxHeaderPanel::Panels()
{
    return PanelList();
}

void TNxHeaderPanel::SetBorderWidth(int value)
{
    value = std::max(value, 0);
    if (value == borderWidth_)
        return;
    borderWidth_ = value;
    Realign();
}

void TNxHeaderPanel::SetDisplayStyle(TNxDisplayStyle value)
{
    if (value == displayStyle_)
        return;
    displayStyle_ = value;
    Realign();
}

void TNxHeaderPanel::SetHeaderSize(int value)
{
    value = std::max(value, 0);
    if (value == headerSize_)
        return;
    headerSize_ = value;
    Realign();
}

void TNxHeaderPanel::SetGlyph(const QImage& value)
{
    glyph_ = value;
    // Without an alpha channel the bottom-left pixel's colour is transparent.
    if (!glyph_.isNull() && !glyph_.hasAlphaChannel()) {
        const QColor transparent = glyph_.pixelColor(0, glyph_.height() - 1);
        glyph_ = glyph_.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < glyph_.height(); ++y) {
            for (int x = 0; x < glyph_.width(); ++x) {
                if (glyph_.pixelColor(x, y) == transparent)
                    glyph_.setPixelColor(x, y, Qt::transparent);
            }
        }
    }
    update();
}

void TNxHeaderPanel::SetHeaderFont(const QFont& value)
{
    headerFont_ = value;
    parentHeaderFont_ = false;
    update();
}

void TNxHeaderPanel::SetHeaderFontColor(TColor value)
{
    headerFontColor_ = value;
    parentHeaderFont_ = false;
    update();
}

void TNxHeaderPanel::SetParentHeaderFont(bool value)
{
    parentHeaderFont_ = value;
    if (value) {
        headerFont_ = font();
        update();
    }
}

void TNxHeaderPanel::SetPicture(const QImage& value)
{
    picture_ = value;
    update();
}

QRect TNxHeaderPanel::ClientRect() const
{
    return rect().adjusted(borderWidth_, borderWidth_, -borderWidth_, -borderWidth_);
}

QRect TNxHeaderPanel::HeaderRect() const
{
    const QRect client = ClientRect();
    return QRect(client.left(), client.top(), client.width(), headerSize_);
}

QRect TNxHeaderPanel::CollapseButtonRect() const
{
    const QRect client = ClientRect();
    const bool leftSide = !expanded_ && drawDirection_ == diRightToLeft;
    const int x = leftSide ? 4 : client.width() - 21;
    return QRect(client.left() + x, client.top() + headerSize_ / 2 - 9, kButtonSize, kButtonSize);
}

QRect TNxHeaderPanel::GlyphRect() const
{
    if (glyph_.isNull())
        return {};
    const QRect client = ClientRect();
    const int top = headerSize_ / 2 - glyph_.height() / 2;
    return QRect(client.left() + kGlyphLeft, client.top() + top, glyph_.width(), glyph_.height());
}

void TNxHeaderPanel::Realign()
{
    const int header = displayStyle_ == dsPanelOnly ? 0 : headerSize_;
    setContentsMargins(borderWidth_ + innerMargins_.Left(), borderWidth_ + header + innerMargins_.Top(),
                       borderWidth_ + innerMargins_.Right(), borderWidth_ + innerMargins_.Bottom());
    update();
    emit ClientAreaChanged();
}

void TNxHeaderPanel::SetOwnWidth(int width)
{
    changingOwnWidth_ = true;
    resize(width, height());
    changingOwnWidth_ = false;
}

void TNxHeaderPanel::SetExpanded(bool value)
{
    if (value == expanded_)
        return;
    if (!value) {
        if (width() < kCollapsedWidth)
            SetOwnWidth(kCollapsedWidth);
        fullWidth_ = width();
        expanded_ = false;
        SetOwnWidth(kCollapsedWidth);
    } else {
        expanded_ = true;
        SetOwnWidth(fullWidth_);
        Realign();
    }
    update();
    DispatchEvent(OnChange, this);
}

void TNxHeaderPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    emit ClientAreaChanged();
    if (changingOwnWidth_ || loading_)
        return;
    if (width() <= kCollapsedWidth) {
        SetExpanded(false);
    } else {
        fullWidth_ = width();
        SetExpanded(true);
    }
    if (displayStyle_ == dsHeaderOnly && height() != headerSize_ + 2 * borderWidth_)
        resize(width(), headerSize_ + 2 * borderWidth_);
}

void TNxHeaderPanel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange && parentHeaderFont_) {
        headerFont_ = font();
        update();
    }
    QWidget::changeEvent(event);
}

void TNxHeaderPanel::SetButtonState(int state)
{
    if (state == buttonState_)
        return;
    buttonState_ = state;
    update(CollapseButtonRect());
}

void TNxHeaderPanel::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (HeaderRect().contains(at))
        headerPressed_ = true;
    if ((options_ & hoCollapseButton) && CollapseButtonRect().contains(at))
        SetButtonState(buttonState_ | bsPressed);
    QWidget::mousePressEvent(event);
}

void TNxHeaderPanel::mouseMoveEvent(QMouseEvent* event)
{
    const bool over = (options_ & hoCollapseButton) && CollapseButtonRect().contains(event->position().toPoint());
    SetButtonState(over ? buttonState_ | bsHot : buttonState_ & ~bsHot);
    QWidget::mouseMoveEvent(event);
}

void TNxHeaderPanel::leaveEvent(QEvent* event)
{
    SetButtonState(buttonState_ & ~bsHot);
    QWidget::leaveEvent(event);
}

void TNxHeaderPanel::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (headerPressed_ && HeaderRect().contains(at)) {
        DispatchEvent(OnHeaderClick, this);
        if (GlyphRect().contains(at))
            DispatchEvent(OnGlyphClick, this);
    }
    if ((options_ & hoCollapseButton) && (buttonState_ & bsPressed) && CollapseButtonRect().contains(at)) {
        SetExpanded(!expanded_);
        if (expanded_)
            setFocus();
    }
    headerPressed_ = false;
    SetButtonState(0);
    QWidget::mouseReleaseEvent(event);
}

#include "framework/TAlignLayout.h"

#include <QWidget>
#include <algorithm>

TAlignLayout::TAlignLayout(QWidget* parent) : QLayout(parent)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

TAlignLayout::~TAlignLayout()
{
    for (Entry& entry : entries_)
        delete entry.item;
}

void TAlignLayout::AddAligned(QWidget* control, TAlign align, QMargins margins, int minimumWidth)
{
    addChildWidget(control);
    entries_.push_back({new QWidgetItem(control), align, margins, control->size(), minimumWidth});
    invalidate();
}

void TAlignLayout::addItem(QLayoutItem* item)
{
    entries_.push_back({item, alNone, {}, item->geometry().size(), 0});
}

QLayoutItem* TAlignLayout::itemAt(int index) const
{
    return index >= 0 && index < count() ? entries_[static_cast<std::size_t>(index)].item : nullptr;
}

QLayoutItem* TAlignLayout::takeAt(int index)
{
    if (index < 0 || index >= count())
        return nullptr;
    QLayoutItem* item = entries_[static_cast<std::size_t>(index)].item;
    entries_.erase(entries_.begin() + index);
    return item;
}

QSize TAlignLayout::sizeHint() const
{
    return parentWidget() ? parentWidget()->size() : QSize();
}

void TAlignLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    QRect rest = contentsRect();
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient})
        for (Entry& entry : entries_)
            if (entry.align == align)
                Place(entry, rest);
}

void TAlignLayout::Place(Entry& entry, QRect& rest)
{
    const QMargins& m = entry.margins;
    const int height = entry.designed.height();
    const int width = std::max(entry.designed.width(), entry.minimumWidth);
    const int left = rest.x() + m.left();
    const int top = rest.y() + m.top();
    const int spanWidth = rest.width() - m.left() - m.right();
    const int spanHeight = rest.height() - m.top() - m.bottom();
    QRect placed;
    switch (entry.align) {
    case alTop:
        placed = {left, top, spanWidth, height};
        rest.setTop(top + height + m.bottom());
        break;
    case alBottom:
        placed = {left, rest.y() + rest.height() - m.bottom() - height, spanWidth, height};
        rest.setHeight(rest.height() - height - m.top() - m.bottom());
        break;
    case alLeft:
        placed = {left, top, width, spanHeight};
        rest.setLeft(left + width + m.right());
        break;
    case alRight:
        placed = {rest.x() + rest.width() - m.right() - width, top, width, spanHeight};
        rest.setWidth(rest.width() - width - m.left() - m.right());
        break;
    case alClient: placed = {left, top, std::max(spanWidth, entry.minimumWidth), spanHeight}; break;
    case alNone: return;
    }
    entry.item->setGeometry(placed);
}

#pragma once

#include "framework/TAlign.h"

#include <QLayout>
#include <QMargins>
#include <QRect>
#include <vector>

// Lays children out by edge alignment: top-aligned controls first, then
// bottom, left and right, each taking its designed height or width from what
// is left of the client area, and the client-aligned control takes the rest.
// Margins keep space around a control; a minimum width is kept even when the
// rest is narrower. Controls added with alNone keep their own geometry.
class TAlignLayout : public QLayout {
public:
    explicit TAlignLayout(QWidget* parent);
    ~TAlignLayout() override;

    void AddAligned(QWidget* control, TAlign align, QMargins margins = {}, int minimumWidth = 0);

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override { return static_cast<int>(entries_.size()); }
    QSize sizeHint() const override;
    QSize minimumSize() const override { return {0, 0}; }
    void setGeometry(const QRect& rect) override;

private:
    struct Entry {
        QLayoutItem* item;
        TAlign align;
        QMargins margins;
        QSize designed;
        int minimumWidth;
    };
    void Place(Entry& entry, QRect& rest);

    std::vector<Entry> entries_;
};

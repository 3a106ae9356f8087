#pragma once

#include "framework/DispatchEvent.h"
#include "widgets/THtmlLayout.h"

#include <QWidget>

// A label whose caption is written in a small tag language; links show the
// hand cursor and report their target on a click. A caption with a link is
// reached with Tab and followed with Space or Enter.
class TNxHtmlLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)

public:
    explicit TNxHtmlLabel(QWidget* parent = nullptr);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& value);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& value) { setToolTip(value); }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor value);
    // The label's own cursor, shown everywhere but over links.
    Qt::CursorShape Cursor() const { return cursor_; }
    void SetCursor(Qt::CursorShape value);

    // A layout pass over the client rectangle, probing the point when given.
    THtmlLayoutResult Layout(std::optional<QPoint> probe = std::nullopt) const;
    QString LinkAt(QPoint point) const { return Layout(point).Href; }
    // The caption as read aloud: its text without the tags.
    QString PlainText() const;

    // Raises OnClick and, for the caption's first link, OnLinkClick, as a
    // click on that link does.
    void Click();

    TWidgetNotifyEvent OnClick;
    TLinkClickEvent OnLinkClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void AdjustSize();
    void RaiseClick(const QString& href);

    QString caption_;
    bool autoSize_ = false;
    TColor color_ = clBtnFace;
    bool parentColor_ = true;
    TColor fontColor_ = clWindowText;
    Qt::CursorShape cursor_ = Qt::ArrowCursor;
    bool pressed_ = false;
};

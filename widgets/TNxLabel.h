#pragma once

#include "widgets/TColor.h"

#include <QPointer>
#include <QWidget>

enum TEllipsisPosition { epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis };
enum TNxHorizontalPosition { hpLeft, hpCenter, hpRight };
enum TNxVerticalPosition { vpTop, vpMiddle, vpBottom };

struct TNxLabelMargins {
    int Horizontal = 0;
    int Vertical = 2;
    bool operator==(const TNxLabelMargins&) const = default;
};

// A text label that can shorten its caption with an ellipsis and place
// itself against another control, following that control's moves and sizes.
class TNxLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)

public:
    explicit TNxLabel(QWidget* parent = nullptr);
    ~TNxLabel() override;

    QString Caption() const { return caption_; }
    void SetCaption(const QString& value);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& value) { setToolTip(value); }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    TEllipsisPosition EllipsisPosition() const { return ellipsisPosition_; }
    void SetEllipsisPosition(TEllipsisPosition value);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor value);

    QWidget* Associate() const { return associate_; }
    void SetAssociate(QWidget* value);
    TNxHorizontalPosition HorizontalPosition() const { return horizontalPosition_; }
    void SetHorizontalPosition(TNxHorizontalPosition value);
    TNxVerticalPosition VerticalPosition() const { return verticalPosition_; }
    void SetVerticalPosition(TNxVerticalPosition value);
    bool InnerHorizontal() const { return innerHorizontal_; }
    void SetInnerHorizontal(bool value);
    bool InnerVertical() const { return innerVertical_; }
    void SetInnerVertical(bool value);
    TNxLabelMargins InnerMargins() const { return innerMargins_; }
    void SetInnerMargins(const TNxLabelMargins& value);

    // The caption as drawn in the current width.
    QString DisplayText() const;

signals:
    void CaptionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AdjustSize();
    void Place();
    int PlacedLeft(const QRect& associate) const;
    int PlacedTop(const QRect& associate) const;

    QString caption_;
    bool autoSize_ = true;
    bool wordWrap_ = false;
    TEllipsisPosition ellipsisPosition_ = epNone;
    TColor fontColor_ = clWindowText;
    QPointer<QWidget> associate_;
    TNxHorizontalPosition horizontalPosition_ = hpLeft;
    TNxVerticalPosition verticalPosition_ = vpTop;
    bool innerHorizontal_ = true;
    bool innerVertical_ = false;
    TNxLabelMargins innerMargins_;
};

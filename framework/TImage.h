#pragma once

#include "framework/DispatchEvent.h"

#include <QPixmap>
#include <QWidget>

#include <functional>

// A picture control: the picture drawn unscaled from its top-left corner,
// transparent where the picture is, and a click event. Pictures are drawn by
// code at the screen's pixel density, so they stay sharp on any scale. One
// with a click handler is pressed with Space or Enter once it has the focus,
// and tells screen readers it is a button named by its hint.
class TImage : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)

public:
    // Draws the picture for a device pixel ratio.
    using TPictureSource = std::function<QPixmap(qreal ratio)>;

    explicit TImage(QWidget* parent, const QString& name);

    TWidgetNotifyEvent OnClick;

    void SetPicture(TPictureSource source);
    // The picture as drawn at the control's current pixel density.
    QPixmap Picture() const;
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    void SetHandCursor() { setCursor(Qt::PointingHandCursor); }

    // Raises OnClick, as a click on the picture does.
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TPictureSource source_;
    mutable QPixmap picture_;
};

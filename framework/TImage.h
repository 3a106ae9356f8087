#pragma once

#include "framework/DispatchEvent.h"

#include <QLabel>

// A picture control: the picture drawn unscaled from its top-left corner,
// transparent where the picture is, and a click event.
class TImage : public QLabel {
    Q_OBJECT

public:
    explicit TImage(QWidget* parent, const QString& name);

    TWidgetNotifyEvent OnClick;

    void SetPicture(const QPixmap& picture) { setPixmap(picture); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    void SetHandCursor() { setCursor(Qt::PointingHandCursor); }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

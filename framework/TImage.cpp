#include "framework/TImage.h"

#include "framework/AccessibleFactory.h"
#include "framework/FocusedPress.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

class TImageAccessible : public QAccessibleWidget {
public:
    explicit TImageAccessible(TImage* image) : QAccessibleWidget(image) {}

    QAccessible::Role role() const override { return Image()->OnClick ? QAccessible::Button : QAccessible::Graphic; }

    QString text(QAccessible::Text which) const override
    {
        if (which == QAccessible::Name && widget()->accessibleName().isEmpty())
            return Image()->Hint();
        return QAccessibleWidget::text(which);
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (Image()->OnClick)
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString& name) override
    {
        if (name == pressAction())
            Image()->Click();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    TImage* Image() const { return static_cast<TImage*>(widget()); }
};

QAccessibleInterface* ImageAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("TImage") && object && object->isWidgetType())
        return new TImageAccessible(static_cast<TImage*>(object));
    return nullptr;
}

} // namespace

TImage::TImage(QWidget* parent, const QString& name) : QWidget(parent)
{
    EnsureAccessibleFactory(&ImageAccessible);
    setObjectName(name);
}

void TImage::SetPicture(TPictureSource source)
{
    source_ = std::move(source);
    picture_ = QPixmap();
    update();
}

QPixmap TImage::Picture() const
{
    const qreal ratio = devicePixelRatioF();
    if (source_ && (picture_.isNull() || picture_.devicePixelRatio() != ratio))
        picture_ = source_(ratio);
    return picture_;
}

void TImage::Click()
{
    DispatchEvent(OnClick, this);
}

void TImage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPixmap picture = Picture();
    painter.drawPixmap(0, 0, picture);
    DrawFocusFrame(painter, *this, QRect(QPoint(0, 0), picture.deviceIndependentSize().toSize()));
}

void TImage::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Click();
}

void TImage::keyPressEvent(QKeyEvent* event)
{
    if (!IsPressKey(*event) || !OnClick) {
        QWidget::keyPressEvent(event);
        return;
    }
    Click();
}

#include "widgets/StyledAccessibility.h"

#include "widgets/TAdvSmoothProgressBar.h"
#include "widgets/TNxHeaderPanel.h"
#include "widgets/TNxHtmlLabel.h"
#include "widgets/TNxLabel.h"

#include <QAccessibleWidget>

namespace {

// A widget read by its caption, whatever the widget draws of it.
template <typename Widget>
class TCaptionAccessible : public QAccessibleWidget {
public:
    TCaptionAccessible(Widget* widget, QAccessible::Role role, QString (Widget::*caption)() const)
        : QAccessibleWidget(widget, role), caption_(caption)
    {}

    QString text(QAccessible::Text which) const override
    {
        if (which == QAccessible::Name && widget()->accessibleName().isEmpty())
            return (static_cast<const Widget*>(widget())->*caption_)();
        return QAccessibleWidget::text(which);
    }

private:
    QString (Widget::*caption_)() const;
};

class TLinkAccessible : public TCaptionAccessible<TNxHtmlLabel> {
public:
    explicit TLinkAccessible(TNxHtmlLabel* label)
        : TCaptionAccessible(label, QAccessible::Link, &TNxHtmlLabel::PlainText)
    {}

    QStringList actionNames() const override { return QStringList(pressAction()) + QAccessibleWidget::actionNames(); }

    void doAction(const QString& name) override
    {
        if (name == pressAction())
            static_cast<TNxHtmlLabel*>(widget())->Click();
        else
            QAccessibleWidget::doAction(name);
    }
};

class TProgressBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TProgressBarAccessible(TAdvSmoothProgressBar* bar) : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text which) const override
    {
        if (which == QAccessible::Value)
            return Bar()->ValueText();
        return QAccessibleWidget::text(which);
    }

    QVariant currentValue() const override { return Bar()->Position(); }
    void setCurrentValue(const QVariant&) override {} // shows progress; the user sets nothing
    QVariant maximumValue() const override { return Bar()->Maximum(); }
    QVariant minimumValue() const override { return Bar()->Minimum(); }
    QVariant minimumStepSize() const override { return 0; }

private:
    const TAdvSmoothProgressBar* Bar() const { return static_cast<const TAdvSmoothProgressBar*>(widget()); }
};

} // namespace

QAccessibleInterface* StyledWidgetAccessible(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("TNxHeaderPanel"))
        return new TCaptionAccessible<TNxHeaderPanel>(static_cast<TNxHeaderPanel*>(object), QAccessible::Grouping,
                                                      &TNxHeaderPanel::Caption);
    if (className == QLatin1String("TNxLabel"))
        return new TCaptionAccessible<TNxLabel>(static_cast<TNxLabel*>(object), QAccessible::StaticText,
                                                &TNxLabel::Caption);
    if (className == QLatin1String("TNxHtmlLabel"))
        return new TLinkAccessible(static_cast<TNxHtmlLabel*>(object));
    if (className == QLatin1String("TAdvSmoothProgressBar"))
        return new TProgressBarAccessible(static_cast<TAdvSmoothProgressBar*>(object));
    return nullptr;
}

#include "framework/AttachedComponent.h"

#include <QObject>
#include <QVariant>

namespace {

// A dynamic property: it lives and dies with the holder, and the walk over
// published properties, which reads the meta-object's, never sees it.
const char* const kAttachedComponent = "skerrowAttachedComponent";

} // namespace

void AttachComponent(QObject* holder, TComponent* component)
{
    holder->setProperty(kAttachedComponent, QVariant::fromValue(reinterpret_cast<quintptr>(component)));
}

TComponent* AttachedComponent(const QObject* holder)
{
    QVariant value = holder->property(kAttachedComponent);
    return value.isValid() ? reinterpret_cast<TComponent*>(value.value<quintptr>()) : nullptr;
}

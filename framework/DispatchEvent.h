#pragma once

#include "framework/Guard.h"

#include <QString>

#include <functional>

class QObject;

// Events of the Qt components: the first argument is always the sender.
using TWidgetNotifyEvent = std::function<void(QObject* Sender)>;
using TLinkClickEvent = std::function<void(QObject* Sender, const QString& Href)>;
using TPositionChangedEvent = std::function<void(QObject* Sender, double Value)>;

// Raises a bound handler inside the framework's guard, so that a failure
// reaches the application's display instead of unwinding through Qt.
template <typename Handler, typename... Args>
void DispatchEvent(const Handler& handler, Args&&... args)
{
    if (handler)
        Guarded([&] { handler(args...); });
}

#pragma once

#include "runtime/Events.h"

#include <QString>

#include <functional>
#include <utility>

class QObject;

// Events of the widgets: the first argument is always the sending widget.
using TWidgetNotifyEvent = std::function<void(QObject* Sender)>;
using TLinkClickEvent = std::function<void(QObject* Sender, const QString& Href)>;
using TPositionChangedEvent = std::function<void(QObject* Sender, double Value)>;

// Every handler a widget raises goes through here, so that all of them reach
// the application's exception display the same way.
template <typename Handler, typename... Args>
void DispatchEvent(const Handler& handler, Args&&... args)
{
    RaiseEvent(handler, std::forward<Args>(args)...);
}

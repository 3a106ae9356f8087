#pragma once

#include <functional>
#include <utility>

class TObject;

// An event is one bound handler; an empty handler is skipped. The first
// argument of every handler is the sender.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// Raises an event when a handler is bound.
template <typename Handler, typename... Args>
void RaiseEvent(const Handler& handler, Args&&... args)
{
    if (handler)
        handler(std::forward<Args>(args)...);
}

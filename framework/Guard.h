#pragma once

#include "framework/TApplication.h"

#include <QObject>
#include <utility>

// Every handler the framework dispatches runs inside this guard: a failure
// that escapes it goes to the application's display and the loop goes on.
template <typename Handler>
void Guarded(Handler&& handler)
{
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        Application().HandleException(std::current_exception());
    }
}

// Connects a Qt signal to a handler that runs guarded; the connection ends
// with `context`.
template <typename Sender, typename Signal, typename Handler>
QMetaObject::Connection BindGuarded(Sender* sender, Signal signal, QObject* context, Handler handler)
{
    return QObject::connect(sender, signal, context,
                            [handler = std::move(handler)](auto&&... args) { Guarded([&] { handler(args...); }); });
}

#pragma once

#include <QDBusConnection>
#include <QString>

#include <functional>

// A button of a notification: the key the service reports back, the label
// it shows, and what pressing it does.
struct TNotificationAction {
    QString Key;
    QString Label;
    std::function<void()> Invoked;
};

// A message in the desktop's notification area, through the freedesktop
// notification service on the session bus (or the bus a test hands in).
// Where no session bus or no such service runs, nothing is shown and
// nothing is said: the window asking for attention is enough there. Never
// waits for the service's answer. An action, when given, is offered as the
// notification's button; pressing it runs Invoked on this thread.
void NotifyDesktop(const QString& summary, const QString& body, TNotificationAction action = {},
                   QDBusConnection bus = QDBusConnection::sessionBus());

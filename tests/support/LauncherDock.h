#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>

// Lets dock's slot (taking the application and its properties) hear the
// launcher entry's signal on bus. A call answered by the bus comes after the
// wish to hear it: from the return on, none is missed.
inline bool HearLauncherEntry(QDBusConnection& bus, QObject* dock, const char* slot)
{
    if (!bus.connect(QString(), QString(), QStringLiteral("com.canonical.Unity.LauncherEntry"),
                     QStringLiteral("Update"), dock, slot))
        return false;
    bus.call(QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                            QStringLiteral("/org/freedesktop/DBus"),
                                            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId")));
    return true;
}

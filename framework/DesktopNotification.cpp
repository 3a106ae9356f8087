#include "framework/DesktopNotification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

void NotifyDesktop(const QString& summary, const QString& body)
{
    const QString service = QStringLiteral("org.freedesktop.Notifications");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage notify = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/Notifications"),
                                                         service, QStringLiteral("Notify"));
    const QString application = QStringLiteral("org.example.skerrow");
    // Application name, no notification to replace, icon, texts, no actions,
    // the desktop entry, the server's own time-out.
    notify << QStringLiteral("Skerrow") << 0u << application << summary << body << QStringList()
           << QVariantMap{{QStringLiteral("desktop-entry"), application}} << -1;
    bus.call(notify, QDBus::NoBlock);
}

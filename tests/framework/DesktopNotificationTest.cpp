#include "framework/DesktopNotification.h"
#include "support/PrivateBus.h"
#include "support/RunEventsUntil.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QStringList>
#include <QVariantMap>

// The notification reaches a stand-in of the desktop's notification service
// on a private session bus.
namespace {

class TNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList received;

public slots:
    uint Notify(const QString& application, uint, const QString& icon, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap& hints, int)
    {
        received << application + "|" + icon + "|" + summary + "|" + body + "|" +
                hints.value(QStringLiteral("desktop-entry")).toString();
        return static_cast<uint>(received.size());
    }
};

bool WaitFor(const std::function<bool()>& done)
{
    return RunEventsUntil(done, 10000);
}

} // namespace

TEST(DesktopNotification, ReachesTheServiceAndIsSkippedWithoutOne)
{
    TPrivateBus bus;
    ASSERT_FALSE(bus.address.empty()) << "dbus-daemon did not start (scripts/install-deps installs it)";
    // The program's own connection is made at its first notification.
    ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.address.c_str(), 1);
    NotifyDesktop("Nobody listens", "yet");

    QDBusConnection desktop = QDBusConnection::connectToBus(QString::fromStdString(bus.address), "desktop");
    TNotificationService service;
    ASSERT_TRUE(desktop.registerObject("/org/freedesktop/Notifications", &service, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(desktop.registerService("org.freedesktop.Notifications"));
    NotifyDesktop("Download finished", "Slow tide");
    ASSERT_TRUE(WaitFor([&] { return !service.received.isEmpty(); }));
    EXPECT_EQ(service.received,
              QStringList("Skerrow|org.example.skerrow|Download finished|Slow tide|org.example.skerrow"));
    QDBusConnection::disconnectFromBus("desktop");
}

#include "DesktopNotificationTest.moc"

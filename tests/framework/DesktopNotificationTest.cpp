#include "framework/DesktopNotification.h"
#include "support/PrivateSessionBus.h"
#include "support/RunEventsUntil.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
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
    QStringList actions;

public slots:
    uint Notify(const QString& application, uint, const QString& icon, const QString& summary, const QString& body,
                const QStringList& offered, const QVariantMap& hints, int)
    {
        actions = offered;
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
    PrivateSessionBus bus;
    ASSERT_FALSE(bus.Address().empty()) << "dbus-daemon did not start (scripts/install-deps installs it)";
    // The program's own connection is made at its first notification.
    ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.Address().c_str(), 1);
    NotifyDesktop("Nobody listens", "yet");

    QDBusConnection desktop = QDBusConnection::connectToBus(QString::fromStdString(bus.Address()), "desktop");
    TNotificationService service;
    ASSERT_TRUE(desktop.registerObject("/org/freedesktop/Notifications", &service, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(desktop.registerService("org.freedesktop.Notifications"));
    NotifyDesktop("Download finished", "Slow tide");
    ASSERT_TRUE(WaitFor([&] { return !service.received.isEmpty(); }));
    EXPECT_EQ(service.received,
              QStringList("Skerrow|org.example.skerrow|Download finished|Slow tide|org.example.skerrow"));
    QDBusConnection::disconnectFromBus("desktop");
}

// The button of a notification opens what it offers when the service says
// it was pressed, for that notification only.
TEST(DesktopNotification, APressedButtonRunsItsAction)
{
    PrivateSessionBus bus;
    ASSERT_FALSE(bus.Address().empty()) << "dbus-daemon did not start (scripts/install-deps installs it)";
    QDBusConnection desktop = QDBusConnection::connectToBus(QString::fromStdString(bus.Address()), "desktop");
    TNotificationService service;
    ASSERT_TRUE(desktop.registerObject("/org/freedesktop/Notifications", &service, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(desktop.registerService("org.freedesktop.Notifications"));
    QDBusConnection program = QDBusConnection::connectToBus(QString::fromStdString(bus.Address()), "program");

    int opened = 0;
    NotifyDesktop("Download finished", "Slow tide", {"downloads", "Show downloads", [&] { ++opened; }}, program);
    ASSERT_TRUE(WaitFor([&] { return !service.received.isEmpty(); }));
    EXPECT_EQ(service.actions, (QStringList{"default", "Show downloads", "downloads", "Show downloads"}));
    // The program learns the notification's number from the answer.
    RunEventsUntil([] { return false; }, 200);

    auto press = [&](uint id, const QString& key) {
        QDBusMessage pressed = QDBusMessage::createSignal("/org/freedesktop/Notifications",
                                                          "org.freedesktop.Notifications", "ActionInvoked");
        pressed << id << key;
        desktop.send(pressed);
    };
    press(99, "downloads"); // someone else's notification
    press(1, "downloads");
    EXPECT_TRUE(WaitFor([&] { return opened == 1; }));
    press(1, "default"); // a click on the message itself
    EXPECT_TRUE(WaitFor([&] { return opened == 2; }));
    QDBusConnection::disconnectFromBus("program");
    QDBusConnection::disconnectFromBus("desktop");
}

#include "DesktopNotificationTest.moc"

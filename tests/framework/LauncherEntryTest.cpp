#include "framework/LauncherEntry.h"
#include "support/LauncherDock.h"
#include "support/PrivateSessionBus.h"
#include "support/RunEventsUntil.h"

#include <gtest/gtest.h>

#include <cmath>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

// The launcher entry's signal reaches a stand-in of the desktop's dock on a
// private session bus.
namespace {

class TDock : public QObject {
    Q_OBJECT

public:
    QStringList received;

public slots:
    void Update(const QString& application, const QVariantMap& properties)
    {
        received << QStringLiteral("%1 count=%2/%3 progress=%4/%5")
                        .arg(application)
                        .arg(properties.value("count").toLongLong())
                        .arg(properties.value("count-visible").toBool())
                        .arg(properties.value("progress").toDouble())
                        .arg(properties.value("progress-visible").toBool());
    }
};

} // namespace

TEST(LauncherEntry, ShowsRunningDownloadsAndClearsWhenNoneRuns)
{
    PrivateSessionBus bus;
    ASSERT_FALSE(bus.Address().empty()) << "dbus-daemon did not start (scripts/install-deps installs it)";
    QDBusConnection dockBus = QDBusConnection::connectToBus(QString::fromStdString(bus.Address()), "dock");
    TDock dock;
    ASSERT_TRUE(HearLauncherEntry(dockBus, &dock, SLOT(Update(QString, QVariantMap))));
    QDBusConnection programBus = QDBusConnection::connectToBus(QString::fromStdString(bus.Address()), "program");
    {
        TLauncherEntry entry(programBus);
        entry.Show(2, 0.25);
        // Less than a percent further, nothing new to show.
        entry.Show(2, 0.253);
        entry.Show(1, 0.5);
        entry.Show(0, 0);
        // Progress the bus never carries: not a number, or beyond the whole.
        entry.Show(1, std::nan(""));
        entry.Show(1, 7.0);
    }
    const QString application = "application://org.example.skerrow.desktop";
    const QStringList expected{
        application + " count=2/1 progress=0.25/1", application + " count=1/1 progress=0.5/1",
        application + " count=0/0 progress=0/0",    application + " count=1/1 progress=0/1",
        application + " count=1/1 progress=1/1",
    };
    EXPECT_TRUE(RunEventsUntil([&] { return dock.received.size() >= expected.size(); }, 10000));
    EXPECT_EQ(dock.received, expected);
    QDBusConnection::disconnectFromBus("program");
    QDBusConnection::disconnectFromBus("dock");
}

TEST(LauncherEntry, IsSkippedWithoutABus)
{
    QDBusConnection nowhere = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), "nowhere");
    TLauncherEntry entry(nowhere);
    entry.Show(1, 0.5);
    QDBusConnection::disconnectFromBus("nowhere");
}

#include "LauncherEntryTest.moc"

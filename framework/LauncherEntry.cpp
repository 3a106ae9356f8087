#include "framework/LauncherEntry.h"

#include <QDBusMessage>
#include <QVariantMap>

#include <algorithm>
#include <cmath>

TLauncherEntry::TLauncherEntry(QDBusConnection bus, QString desktopEntry)
    : bus_(std::move(bus)), application_(QStringLiteral("application://") + desktopEntry)
{}

void TLauncherEntry::Show(int running, double progress)
{
    running = std::max(running, 0);
    // NaN and values outside 0..1 come from totals not known yet.
    progress = std::isfinite(progress) ? std::clamp(progress, 0.0, 1.0) : 0.0;
    const int percent = running > 0 ? static_cast<int>(progress * 100) : 0;
    if (running == shownRunning_ && percent == shownPercent_)
        return;
    shownRunning_ = running;
    shownPercent_ = percent;
    Send(running, progress);
}

void TLauncherEntry::Send(int running, double progress)
{
    if (!bus_.isConnected())
        return;
    // Any object path will do; the application's address says whose entry
    // it is.
    QDBusMessage update =
        QDBusMessage::createSignal(QStringLiteral("/org/example/skerrow/LauncherEntry"),
                                   QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
    const bool visible = running > 0;
    update << application_
           << QVariantMap{{QStringLiteral("progress"), visible ? progress : 0.0},
                          {QStringLiteral("progress-visible"), visible},
                          {QStringLiteral("count"), static_cast<qint64>(running)},
                          {QStringLiteral("count-visible"), visible}};
    bus_.send(update);
}

#pragma once

#include <QDBusConnection>
#include <QString>

// The program's entry in the desktop's launcher (a dock, a task manager):
// the progress of the running downloads as a bar over the icon and their
// number as a badge, told through the com.canonical.Unity.LauncherEntry
// signal that KDE Plasma, Ubuntu's dock and others read. Nothing is shown
// where nobody listens or no session bus runs.
class TLauncherEntry {
public:
    // The entry is the installed desktop entry's; the bus is the session's
    // unless a test hands in its own.
    explicit TLauncherEntry(QDBusConnection bus = QDBusConnection::sessionBus(),
                            QString desktopEntry = QStringLiteral("org.example.skerrow.desktop"));

    // Shows running downloads with their joint progress (0 to 1); no
    // running download clears the bar and the badge. The desktop is told
    // only of changes it can show: a new count, or a step of a percent.
    void Show(int running, double progress);

private:
    void Send(int running, double progress);

    QDBusConnection bus_;
    QString application_;
    int shownRunning_ = -1;
    int shownPercent_ = -1;
};

#include "framework/DesktopNotification.h"

#include "framework/Guard.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantMap>

#include <map>
#include <utility>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

} // namespace

// Hears the service say that a button of one of the program's notifications
// was pressed, or that a notification went; one for each bus.
class TNotificationActions : public QObject {
    Q_OBJECT

public:
    // The application owns the listeners: they go with it.
    static TNotificationActions& On(QDBusConnection& bus)
    {
        static std::map<QString, QPointer<TNotificationActions>> listeners;
        QPointer<TNotificationActions>& listener = listeners[bus.name()];
        if (!listener)
            listener = new TNotificationActions(bus);
        return *listener;
    }

    void Expect(uint id, TNotificationAction action) { actions_[id] = std::move(action); }

public slots:
    void ActionInvoked(uint id, const QString& key)
    {
        auto found = actions_.find(id);
        if (found == actions_.end() || !found->second.Invoked)
            return;
        if (key != found->second.Key && key != QLatin1String("default"))
            return;
        const std::function<void()> invoked = found->second.Invoked;
        Guarded([&] { invoked(); });
    }
    void NotificationClosed(uint id, uint) { actions_.erase(id); }

private:
    explicit TNotificationActions(QDBusConnection& bus) : QObject(QCoreApplication::instance())
    {
        bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                    SLOT(ActionInvoked(uint, QString)));
        bus.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), this,
                    SLOT(NotificationClosed(uint, uint)));
    }

    std::map<uint, TNotificationAction> actions_;
};

void NotifyDesktop(const QString& summary, const QString& body, TNotificationAction action, QDBusConnection bus)
{
    if (!bus.isConnected())
        return;
    QDBusMessage notify = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    const QString application = QStringLiteral("org.example.skerrow");
    const QStringList actions = action.Key.isEmpty()
        ? QStringList()
        : QStringList{QStringLiteral("default"), action.Label, action.Key, action.Label};
    // Application name, no notification to replace, icon, texts, the
    // actions (the default one, a click on the message, does the same as
    // the button), the desktop entry, the server's own time-out.
    notify << QStringLiteral("Skerrow") << 0u << application << summary << body << actions
           << QVariantMap{{QStringLiteral("desktop-entry"), application}} << -1;
    if (action.Key.isEmpty()) {
        bus.call(notify, QDBus::NoBlock);
        return;
    }
    TNotificationActions& listener = TNotificationActions::On(bus);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(notify), &listener);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &listener,
                     [&listener, action = std::move(action)](QDBusPendingCallWatcher* call) {
                         QDBusPendingReply<uint> reply = *call;
                         if (reply.isValid())
                             listener.Expect(reply.value(), action);
                         call->deleteLater();
                     });
}

#include "DesktopNotification.moc"

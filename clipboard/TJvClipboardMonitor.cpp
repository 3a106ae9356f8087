#include "clipboard/TJvClipboardMonitor.h"

#include "framework/Guard.h"

#include <QClipboard>
#include <QGuiApplication>

TJvClipboardMonitor::TJvClipboardMonitor(QObject* owner, const QString& name) : QObject(owner)
{
    setObjectName(name);
    SetEnabled(true);
}

TJvClipboardMonitor::~TJvClipboardMonitor()
{
    // No event may reach the owner while it is being torn down.
    OnChange = nullptr;
    SetEnabled(false);
}

void TJvClipboardMonitor::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    if (enabled) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        notice_ = connect(clipboard, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
            if (mode == QClipboard::Clipboard)
                ChangeNotice();
        });
    } else {
        disconnect(notice_);
    }
    enabled_ = enabled;
}

// A failure in the handler is shown and swallowed, so the monitor keeps
// reporting later changes.
void TJvClipboardMonitor::ChangeNotice()
{
    Guarded([this] { Change(); });
}

void TJvClipboardMonitor::Change()
{
    if (OnChange)
        OnChange(this);
}

#include "framework/SynchronizeBridge.h"

#include "runtime/TThread.h"

#include <QCoreApplication>
#include <QMetaObject>

void ConnectSynchronizeToQt()
{
    SetWakeMainThreadHook([] {
        // Queued into the application object's thread, the UI thread; the
        // hand-overs themselves carry their failures back to their workers.
        QMetaObject::invokeMethod(QCoreApplication::instance(), [] { CheckSynchronize(); }, Qt::QueuedConnection);
    });
}

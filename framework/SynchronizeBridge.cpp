#include "framework/SynchronizeBridge.h"

#include "runtime/TThread.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <thread>

namespace {

// Runs on the worker that queued a hand-over. Posting is safe from any
// thread; the queued call runs on the application object's thread, the UI
// thread, and the hand-overs carry their failures back to their workers.
void WakeQtLoop()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return;
    QMetaObject::invokeMethod(
        application, [] { CheckSynchronize(); }, Qt::QueuedConnection);
}

} // namespace

void ConnectSynchronizeToQt()
{
    static bool connected = false;
    if (connected)
        return;
    connected = true;
    SetMainThreadId(std::this_thread::get_id());
    SetWakeMainThreadHook(&WakeQtLoop);
}

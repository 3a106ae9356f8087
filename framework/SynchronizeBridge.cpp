#include "framework/SynchronizeBridge.h"

#include "runtime/TThread.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <thread>

namespace {

// Runs on the worker that queued a hand-over. Posting is safe from any
// thread; the queued call runs on the application's thread.
void WakeQtLoop()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return;
    QMetaObject::invokeMethod(application, [] { CheckSynchronize(); }, Qt::QueuedConnection);
}

} // namespace

void InstallSynchronizeBridge()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    SetMainThreadId(std::this_thread::get_id());
    SetWakeMainThreadHook(&WakeQtLoop);
}

// Installs itself when the application object is constructed, for programs
// that link this file in.
Q_COREAPP_STARTUP_FUNCTION(InstallSynchronizeBridge)

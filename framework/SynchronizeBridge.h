#pragma once

// Lets the Qt event loop run the workers' hand-overs: each time a worker
// queues one, a call to CheckSynchronize is posted to the application's
// thread. Call once on the main thread after the QCoreApplication exists;
// later calls do nothing.
void InstallSynchronizeBridge();

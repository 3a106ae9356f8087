#pragma once

// Lets worker threads reach the user-interface thread: whenever a worker
// queues a hand-over, the Qt event loop is woken to run it. Call once after
// the QApplication exists.
void ConnectSynchronizeToQt();

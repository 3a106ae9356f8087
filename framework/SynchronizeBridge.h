#pragma once

// Lets worker threads reach the user-interface thread: whenever a worker
// queues a hand-over, a call to CheckSynchronize is posted to the Qt event
// loop. Call once on the main thread after the QApplication exists; later
// calls change nothing.
void ConnectSynchronizeToQt();

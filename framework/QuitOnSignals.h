#pragma once

#include <initializer_list>

// Ends the message loop when the process is asked to end by one of the
// given signals (a kill, the session's logout), as if the user had quit:
// the application then frees the main window and everything it owns, so
// running downloads stop and take their temporary files with them. The exit
// status is 128 plus the signal's number. Call once the QApplication exists.
void QuitOnSignals(std::initializer_list<int> signalNumbers);

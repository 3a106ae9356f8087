#pragma once

#include <functional>
#include <string>

// The engine shows its few messages (a catalogue with the wrong charset, a
// window translated twice) in a message box without owner window and with an
// OK button. The program's start puts the windowing layer's message box here
// once there are windows; until then the text goes to standard error.
using TMessageBoxHook = std::function<void(const std::string& text, const std::string& caption)>;

void SetMessageBoxHook(TMessageBoxHook hook);
void ShowEngineMessageBox(const std::string& text, const std::string& caption);

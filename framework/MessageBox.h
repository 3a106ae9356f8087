#pragma once

#include <functional>
#include <string>

class QWidget;

enum TMessageBoxIcon { mbiError, mbiWarning, mbiInformation };

// What a message box would show; the seam lets tests read it instead.
struct TMessageBoxRequest {
    QWidget* Owner = nullptr;
    std::string Text;
    std::string Caption;
    TMessageBoxIcon Icon = mbiError;
};

using TMessageBoxSeam = std::function<void(const TMessageBoxRequest&)>;

// Shows a modal message box with an OK button.
void ShowMessageBox(const TMessageBoxRequest& request);

// Shows the translation engine's messages (a catalogue without UTF-8) in
// the message box; until this is called they go to standard error. Call it
// once the QApplication exists.
void ShowEngineMessagesInMessageBoxes();

// Replaces the real message box (an empty seam restores it); returns the
// previous seam.
TMessageBoxSeam SetMessageBoxSeam(TMessageBoxSeam seam);

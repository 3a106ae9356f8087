#pragma once

#include <functional>
#include <string>

class QWidget;

enum TMessageBoxIcon { mbiError, mbiWarning, mbiInformation, mbiQuestion };

// What a message box would show; the seam lets tests read it instead.
struct TMessageBoxRequest {
    QWidget* Owner = nullptr;
    std::string Text;
    std::string Caption;
    TMessageBoxIcon Icon = mbiError;
};

using TMessageBoxSeam = std::function<void(const TMessageBoxRequest&)>;
// Answers a question in place of the user: true for Yes.
using TQuestionSeam = std::function<bool(const TMessageBoxRequest&)>;

// Shows a modal message box with an OK button.
void ShowMessageBox(const TMessageBoxRequest& request);

// Asks a modal question with Yes and No buttons, No the default (the safe
// answer on a stray Enter); true when the user said Yes.
bool AskQuestion(const TMessageBoxRequest& request);

// Shows the translation engine's messages (a catalogue without UTF-8) in
// the message box; until this is called they go to standard error. Call it
// once the QApplication exists.
void ShowEngineMessagesInMessageBoxes();

// Replaces the real message box (an empty seam restores it); returns the
// previous seam.
TMessageBoxSeam SetMessageBoxSeam(TMessageBoxSeam seam);
TQuestionSeam SetQuestionSeam(TQuestionSeam seam);

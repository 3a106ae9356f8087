#pragma once

#include <string>

// Qt's own texts (the buttons of the file dialog and of message boxes) in
// the interface language: the catalogue of the system's Qt translations for
// the language ("es_ES", then "es") is installed, the previous one removed.
// A language without a catalogue (English) leaves Qt's built-in texts.
void FollowLanguageInQt(const std::string& language);

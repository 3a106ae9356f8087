#pragma once

#include <string>
#include <vector>

class TFileLocator;
class TGnuGettextInstance;

// The process-wide translation engine. The first use runs the process
// initialisation: find the executable, scan it for appended files, create the
// resource-string domain list ("default"), create the engine (start language
// from the environment, "default" bound to the folder "locale" beside the
// executable) and put resource-string translation in front of
// LoadResString. Everything is freed at process end, the engine first.
TGnuGettextInstance& DefaultInstance();
// Runs that initialisation now. The program calls it first thing on its main
// thread, which thereby becomes the engine's: the start language is chosen,
// and only texts loaded on this thread are translated.
void StartTranslationEngine();
TFileLocator& FileLocator();

// The full file name of the running executable.
std::string ExecutableName();

// The single-text calls the windows use.
void SelectLanguage(const std::string& code);
std::string CurrentLanguage();
std::u16string TranslateText(const std::string& msgid);

// Resource-string translation: an 8-bit text looked up in each domain of the
// resource-string list in order; the first result that differs wins. Only
// texts loaded on the engine's own thread are translated.
std::string TranslateResourceString(const std::string& text);
void AddResourceStringDomain(const std::string& domain);
std::vector<std::string> ResourceStringDomains();

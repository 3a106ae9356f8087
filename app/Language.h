#pragma once

#include <string>

// The interface language of the windows. The translation engine, Qt's own
// texts and the remembered choice move together.

// A language chosen with a flag: current from now on, and at the next start.
void SwitchLanguage(const std::string& code);

// At start: a language chosen earlier with a flag wins over the one LANG
// asks for; Qt's own texts follow whichever it is.
void StartInChosenLanguage();

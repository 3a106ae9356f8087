#pragma once

#include <QStringList>

#include <string>

// Translation of a text list: every non-empty line on its own, in the given
// text domain (empty: the current one).
void TranslateStrings(QStringList& list, const std::string& textDomain = "");

// The same for a list held as its text, one line per line feed.
std::u16string TranslateLines(const std::u16string& text, const std::string& textDomain);

#pragma once

#include <string>

// The start language that the user's environment asks for: LANG; when that
// is empty, the user's locale (LC_ALL, then LC_MESSAGES) as language "_"
// country, or through the locale-identifier table when it does not name
// both; cut at the first ".".
std::string UserLanguageFromEnvironment();

// The same rule over given values, for the environment-free tests.
std::string UserLanguage(const std::string& lang, const std::string& userLocale);

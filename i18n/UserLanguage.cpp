#include "i18n/UserLanguage.h"

#include "i18n/LocaleIdentifiers.h"

#include <cstdlib>

namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool IsTwoLetters(const std::string& text)
{
    auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    return text.size() == 2 && letter(text[0]) && letter(text[1]);
}

// A locale name reads language[_COUNTRY][.charset][@modifier].
std::string LocaleCode(const std::string& locale)
{
    std::string name = locale.substr(0, locale.find_first_of(".@"));
    std::size_t underscore = name.find('_');
    std::string language = name.substr(0, underscore);
    std::string country = underscore == std::string::npos ? "" : name.substr(underscore + 1);
    if (IsTwoLetters(language) && IsTwoLetters(country))
        return language + "_" + country;
    return LocaleIdentifierToCode(LocaleIdentifierOfLanguage(language));
}

} // namespace

std::string UserLanguage(const std::string& lang, const std::string& userLocale)
{
    std::string code = lang.empty() ? LocaleCode(userLocale) : lang;
    return code.substr(0, code.find('.'));
}

std::string UserLanguageFromEnvironment()
{
    std::string userLocale = Environment("LC_ALL");
    if (userLocale.empty())
        userLocale = Environment("LC_MESSAGES");
    return UserLanguage(Environment("LANG"), userLocale);
}

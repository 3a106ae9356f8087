#include "app/Language.h"

#include "app/UserSettings.h"
#include "framework/QtCatalogue.h"
#include "i18n/GnuGettext.h"

void SwitchLanguage(const std::string& code)
{
    SelectLanguage(code);
    FollowLanguageInQt(code);
    UserSettings::SetLanguage(code);
}

void StartInChosenLanguage()
{
    if (std::optional<std::string> chosen = UserSettings::Language())
        SelectLanguage(*chosen);
    FollowLanguageInQt(CurrentLanguage());
}

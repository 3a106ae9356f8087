#include "i18n/UserLanguage.h"
#include "i18n/LocaleIdentifiers.h"

#include <gtest/gtest.h>

TEST(LocaleIdentifiers, MapsEveryIdentifierOfTheTableAndCForTheRest)
{
    struct TCase {
        std::uint32_t identifier;
        const char* code;
    } cases[] = {
        {1030, "da_DK"},
        {1031, "de_DE"},
        {1032, "gr_GR"},
        {1033, "en_US"},
        {1034, "es_ES"},
        {3082, "es_ES"},
        {1035, "fi_FI"},
        {1036, "fr_FR"},
        {1039, "is_IS"},
        {1040, "it_IT"},
        {1042, "ko_KO"},
        {1043, "nl_NL"},
        {1044, "nb_NO"},
        {1045, "pl_PL"},
        {1046, "pt_BR"},
        {1049, "ru_RU"},
        {1053, "sv_SE"},
        {2057, "en_GB"},
        {2060, "fr_BE"},
        {2067, "nl_BE"},
        {2068, "nn_NO"},
        {2070, "pt_PT"},
        {2077, "sv_FI"},
        {3084, "fr_CA"},
        {4103, "de_LU"},
        // Not in the table.
        {0, "C"},
        {1041, "C"},
        {1037, "C"},
        {0xFFFFFFFF, "C"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(LocaleIdentifierToCode(c.identifier), c.code) << c.identifier;
}

TEST(UserLanguage, FollowsLangThenTheUserLocale)
{
    struct TCase {
        const char* why;
        const char* lang;
        const char* userLocale;
        const char* code;
    } cases[] = {
        {"LANG wins, cut at the full stop", "es_ES.UTF-8", "de_DE.UTF-8", "es_ES"},
        {"LANG without charset", "es", "", "es"},
        {"LANG C", "C", "es_ES", "C"},
        {"LANG C.UTF-8", "C.UTF-8", "", "C"},
        {"LANG keeps everything before the first full stop", "sr_RS@latin.UTF-8", "", "sr_RS@latin"},
        {"user locale language and country", "", "es_AR", "es_AR"},
        {"user locale with charset", "", "es_AR.UTF-8", "es_AR"},
        {"user locale with modifier", "", "ca_ES@valencia", "ca_ES"},
        {"bare language goes through the table", "", "de", "de_DE"},
        {"bare Spanish", "", "es.UTF-8", "es_ES"},
        {"bare language not in the table", "", "ja", "C"},
        {"C locale", "", "C", "C"},
        {"POSIX locale", "", "POSIX", "C"},
        {"nothing at all", "", "", "C"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(UserLanguage(c.lang, c.userLocale), c.code) << c.why;
}

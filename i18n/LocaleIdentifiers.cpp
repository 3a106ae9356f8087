#include "i18n/LocaleIdentifiers.h"

#include <array>

namespace {

struct TLocaleCode {
    std::uint32_t identifier;
    const char* code;
};

constexpr std::array<TLocaleCode, 25> kLocaleCodes{{
    {1030, "da_DK"}, {1031, "de_DE"}, {1032, "gr_GR"}, {1033, "en_US"}, {1034, "es_ES"},
    {1035, "fi_FI"}, {1036, "fr_FR"}, {1039, "is_IS"}, {1040, "it_IT"}, {1042, "ko_KO"},
    {1043, "nl_NL"}, {1044, "nb_NO"}, {1045, "pl_PL"}, {1046, "pt_BR"}, {1049, "ru_RU"},
    {1053, "sv_SE"}, {2057, "en_GB"}, {2060, "fr_BE"}, {2067, "nl_BE"}, {2068, "nn_NO"},
    {2070, "pt_PT"}, {2077, "sv_FI"}, {3082, "es_ES"}, {3084, "fr_CA"}, {4103, "de_LU"},
}};

} // namespace

std::string LocaleIdentifierToCode(std::uint32_t localeIdentifier)
{
    for (const TLocaleCode& entry : kLocaleCodes)
        if (entry.identifier == localeIdentifier)
            return entry.code;
    return "C";
}

std::uint32_t LocaleIdentifierOfLanguage(const std::string& language)
{
    if (language.size() != 2)
        return 0;
    for (const TLocaleCode& entry : kLocaleCodes)
        if (std::string(entry.code).compare(0, 3, language + "_") == 0)
            return entry.identifier;
    return 0;
}

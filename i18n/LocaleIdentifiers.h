#pragma once

#include <cstdint>
#include <string>

// The language code of a locale identifier; "C" for any identifier that the
// table does not hold. The table keeps its historic codes (gr_GR, ko_KO).
std::string LocaleIdentifierToCode(std::uint32_t localeIdentifier);

// The identifier whose code has this language, for a bare language name such
// as "de"; 0 when none has it.
std::uint32_t LocaleIdentifierOfLanguage(const std::string& language);

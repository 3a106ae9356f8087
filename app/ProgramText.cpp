#include "app/ProgramText.h"

#include "i18n/GnuGettext.h"
#include "i18n/Utf8.h"
#include "runtime/AsciiText.h"

std::string Tr(const char* msgid, const std::vector<std::string>& values)
{
    return AsciiText::FillPlaceholders(Utf8Encode(TranslateText(msgid)), values);
}

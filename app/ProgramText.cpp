#include "app/ProgramText.h"

#include "i18n/GnuGettext.h"
#include "i18n/Utf8.h"

std::string Tr(const char* msgid, std::initializer_list<std::string> values)
{
    std::string text = Utf8Encode(TranslateText(msgid));
    std::size_t from = 0;
    for (const std::string& value : values) {
        std::size_t at = text.find("%s", from);
        if (at == std::string::npos)
            break;
        text.replace(at, 2, value);
        from = at + value.size();
    }
    return text;
}

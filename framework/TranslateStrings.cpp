#include "framework/TranslateStrings.h"

#include "i18n/GnuGettext.h"
#include "i18n/TGnuGettextInstance.h"

void TranslateStrings(QStringList& list, const std::string& textDomain)
{
    const std::string domain = textDomain.empty() ? DefaultInstance().TextDomain() : textDomain;
    for (QString& line : list)
        if (!line.isEmpty())
            line = QString::fromStdU16String(DefaultInstance().LookupInDomain(domain, line.toStdU16String()));
}

std::u16string TranslateLines(const std::u16string& text, const std::string& textDomain)
{
    QStringList lines = QString::fromStdU16String(text).split(QLatin1Char('\n'));
    TranslateStrings(lines, textDomain);
    return lines.join(QLatin1Char('\n')).toStdU16String();
}

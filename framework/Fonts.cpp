#include "framework/Fonts.h"

#include <QFontDatabase>
#include <QStringList>

void RegisterTahoma()
{
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma")))
        return;
    for (const char* file : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
        QFontDatabase::addApplicationFont(QString::fromLatin1(file));
}

QFont TahomaFont(QFont::Weight weight)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    font.setWeight(weight);
    return font;
}

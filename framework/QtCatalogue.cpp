#include "framework/QtCatalogue.h"

#include "framework/QtText.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {

std::unique_ptr<QTranslator>& Installed()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

} // namespace

void FollowLanguageInQt(const std::string& language)
{
    if (Installed()) {
        QCoreApplication::removeTranslator(Installed().get());
        Installed().reset();
    }
    auto translator = std::make_unique<QTranslator>();
    // QTranslator tries "qtbase_es_ES" and then drops the country.
    if (!translator->load(QStringLiteral("qtbase_") + ToQt(language),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    QCoreApplication::installTranslator(translator.get());
    Installed() = std::move(translator);
}

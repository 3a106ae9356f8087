// This test program carries the Spanish catalogue appended to it, as the
// program does, and has no locale folder beside it.

#include "i18n/AppendedFiles.h"
#include "i18n/GnuGettext.h"
#include "i18n/TFileLocator.h"
#include "i18n/TGnuGettextInstance.h"
#include "runtime/ResourceString.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <thread>

namespace {

struct TEnvironment {
    const char* lang;
    const char* lcAll;
    const char* lcMessages;
};

void SetOrUnset(const char* name, const char* value)
{
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

// An engine started the way the program starts, in the given environment.
std::u16string StartAndTranslate(const TEnvironment& environment, const std::string& msgid, std::string& language)
{
    SetOrUnset("LANG", environment.lang);
    SetOrUnset("LC_ALL", environment.lcAll);
    SetOrUnset("LC_MESSAGES", environment.lcMessages);
    TFileLocator locator(ExecutableName());
    locator.Analyze(AppendedDirectoryOffset());
    TGnuGettextInstance engine(locator);
    language = engine.CurrentLanguage();
    return engine.TranslateText(msgid);
}

} // namespace

TEST(StartLanguage, TheSpanishCatalogueTravelsInsideTheProgram)
{
    struct stat status {};
    ASSERT_NE(stat((FileLocator().BaseDirectory() + "locale").c_str(), &status), 0)
        << "a locale folder would hide the test";
    EXPECT_NE(AppendedDirectoryOffset(), 0u);
    EXPECT_TRUE(FileLocator().IsAppended(FileLocator().BaseDirectory() + "locale/es/LC_MESSAGES/default.mo"));
}

TEST(StartLanguage, FollowsTheEnvironment)
{
    struct TCase {
        const char* why;
        TEnvironment environment;
        const char* language;
        std::u16string close;
    } cases[] = {
        {"LANG with charset: es_ES, found as es", {"es_ES.UTF-8", nullptr, nullptr}, "es_ES", u"Cerrar"},
        {"empty LANG, Spanish messages locale", {"", nullptr, "es_AR"}, "es_AR", u"Cerrar"},
        {"no LANG, LC_ALL before LC_MESSAGES", {nullptr, "es_MX.UTF-8", "de_DE"}, "es_MX", u"Cerrar"},
        {"LANG before the user locale", {"en_US.UTF-8", "es_ES", nullptr}, "en_US", u"Close"},
        {"C", {"C", nullptr, nullptr}, "C", u"Close"},
        {"en", {"en", nullptr, nullptr}, "en", u"Close"},
        {"German: no catalogue", {"", nullptr, "de_DE.UTF-8"}, "de_DE", u"Close"},
        {"nothing set", {nullptr, nullptr, nullptr}, "C", u"Close"},
    };
    for (const TCase& c : cases) {
        std::string language;
        EXPECT_EQ(StartAndTranslate(c.environment, "Close", language), c.close) << c.why;
        EXPECT_EQ(language, c.language) << c.why;
    }
}

TEST(StartLanguage, TheShippedCatalogueHasEveryWindowText)
{
    setenv("LANG", "es", 1);
    std::string language;
    struct TCase {
        const char* english;
        std::u16string spanish;
    } cases[] = {
        {"START", u"COMENZAR"},
        {"Step 1: Enter Video URL", u"Paso 1: Introduzca URL del Video"},
        {"Mobile Phone  - 3GP", u"Tel\u00e9fono m\u00f3vil - 3GP"},
        {"Transfer Rate:", u"Tasa de Transferencia: "},
        {"Video Size: ", u"Tama\u00f1o de Video:"},
        {"Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.9.0.6)",
         u"Mozilla/5.0 (Windows; U; Windows NT 5.1; es-ES; rv:1.9.0.6)"},
        {"English - Ingl\xc3\xa9s", u"English - Ingl\u00e9s"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(StartAndTranslate({"es", nullptr, nullptr}, c.english, language), c.spanish) << c.english;
}

// Library messages pass through LoadResString; only those loaded on the
// engine's own thread are translated.
TEST(ResourceStrings, AreTranslatedOnTheEnginesThreadOnly)
{
    EXPECT_EQ(ResourceStringDomains(), std::vector<std::string>{"default"});
    SelectLanguage("es");
    EXPECT_EQ(LoadResString("Close"), "Cerrar");
    EXPECT_EQ(LoadResString("Video Size: "), "Tama\xc3\xb1o de Video:");
    EXPECT_EQ(LoadResString("No such message"), "No such message");
    EXPECT_EQ(LoadResString(""), "");
    std::string onWorker;
    std::thread worker([&] { onWorker = LoadResString("Close"); });
    worker.join();
    EXPECT_EQ(onWorker, "Close");
    SelectLanguage("en");
    EXPECT_EQ(LoadResString("Close"), "Close");
    EXPECT_EQ(TranslateText("Close"), u"Close");
}

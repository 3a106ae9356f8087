#include "MoBuilder.h"

#include "i18n/EGnuGettext.h"
#include "i18n/MessageBoxHook.h"
#include "i18n/TFileLocator.h"
#include "i18n/TGnuGettextInstance.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

// An executable's folder with catalogues beside it, and an engine over it
// started in a chosen environment.
class Engine : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = test::MakeTempFolder();
        setenv("LANG", "es_ES.UTF-8", 1);
        unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
        SetMessageBoxHook(
            [this](const std::string& text, const std::string& caption) { shown_.push_back(caption + "|" + text); });
    }
    void TearDown() override
    {
        engine_.reset();
        locator_.reset();
        SetMessageBoxHook(nullptr);
        test::RemoveFolder(folder_);
    }

    void Catalogue(const std::string& language, const test::TEntries& entries, const std::string& charset = "UTF-8")
    {
        ASSERT_TRUE(test::CompilePo(test::PoText(entries, charset), MoPath(language)));
    }
    std::string MoPath(const std::string& language)
    {
        return folder_ + "locale/" + language + "/LC_MESSAGES/default.mo";
    }
    void Start()
    {
        locator_ = std::make_unique<TFileLocator>(folder_ + "skerrow");
        engine_ = std::make_unique<TGnuGettextInstance>(*locator_);
    }
    std::u16string Translate(const std::string& msgid) { return engine_->TranslateText(msgid); }

    std::string folder_;
    std::vector<std::string> shown_;
    std::unique_ptr<TFileLocator> locator_;
    std::unique_ptr<TGnuGettextInstance> engine_;
};

const test::TEntries kSpanish = {
    {"Close", "Cerrar"},
    {"Line one\nLine two", "Línea uno\nLínea dos"},
    {"Transfer Rate:", "Tasa de Transferencia: "},
    {"Video Size: ", "Tamaño de Video:"},
};

} // namespace

TEST_F(Engine, StartsInTheLanguageOfTheEnvironmentCutAtTheFullStop)
{
    Start();
    EXPECT_EQ(engine_->CurrentLanguage(), "es_ES");
    EXPECT_EQ(engine_->TextDomain(), "default");
    EXPECT_EQ(engine_->DefaultDomainDirectory(), folder_ + "locale");
}

TEST_F(Engine, LooksTextsUpWithTheCarriageReturnRules)
{
    Catalogue("es", kSpanish);
    Start();
    struct TCase {
        const char* why;
        std::string msgid;
        std::u16string expected;
    } cases[] = {
        {"plain entry", "Close", u"Cerrar"},
        {"translation keeps its trailing blank", "Transfer Rate:", u"Tasa de Transferencia: "},
        {"translation drops the msgid's trailing blank", "Video Size: ", u"Tama\u00f1o de Video:"},
        {"no entry", "Open", u"Open"},
        {"carriage returns are not part of the msgid", "Clo\rse", u"Cerrar"},
        {"line feeds of the result get carriage returns", "Line one\r\nLine two", u"L\u00ednea uno\r\nL\u00ednea dos"},
        {"also without an entry", "a\nb\r\nc", u"a\r\nb\r\nc"},
        {"but not a leading line feed", "\nx\n", u"\nx\r\n"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Translate(c.msgid), c.expected) << c.why;
}

TEST_F(Engine, TheFullLanguageCodeWinsOverTheTwoLetterFallback)
{
    Catalogue("es", {{"Close", "Cerrar"}});
    Catalogue("es_AR", {{"Close", "Cerrá"}});
    Start();
    EXPECT_EQ(Translate("Close"), u"Cerrar"); // es_ES: no such folder, so es
    engine_->SelectLanguage("es_AR");
    EXPECT_EQ(Translate("Close"), u"Cerr\u00e1");
    engine_->SelectLanguage("es");
    EXPECT_EQ(Translate("Close"), u"Cerrar");
    for (const char* english : {"en", "en_US", "C", ""}) {
        unsetenv("LANG");
        engine_->SelectLanguage(english);
        EXPECT_EQ(Translate("Close"), u"Close") << english;
    }
}

TEST_F(Engine, ALanguageChangeReopensTheCatalogue)
{
    Catalogue("es", {{"Close", "Cerrar"}});
    Start();
    EXPECT_EQ(Translate("Close"), u"Cerrar");
    Catalogue("es", {{"Close", "Cerrado"}});
    EXPECT_EQ(Translate("Close"), u"Cerrar"); // still the open catalogue
    engine_->SelectLanguage("es");
    EXPECT_EQ(Translate("Close"), u"Cerrado");
}

TEST_F(Engine, AMissingCatalogueIsRememberedUntilTheLanguageChanges)
{
    Start();
    EXPECT_EQ(Translate("Close"), u"Close");
    Catalogue("es", {{"Close", "Cerrar"}});
    EXPECT_EQ(Translate("Close"), u"Close");
    engine_->SelectLanguage("es_ES");
    EXPECT_EQ(Translate("Close"), u"Cerrar");
}

TEST_F(Engine, ACatalogueWithoutUtf8IsRefusedOnceAndTranslationsStop)
{
    Catalogue("es", {{"Close", "Cerrar"}}, "ISO-8859-1");
    Start();
    EXPECT_EQ(Translate("Close"), u"Close");
    EXPECT_EQ(Translate("Close"), u"Close");
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0],
              "Localization problem|The translation for the language code es_ES (in " + MoPath("es") +
                  ") does not have charset=utf-8 in its Content-Type. Translations are turned off.");
    Catalogue("es", {{"Close", "Cerrar"}});
    engine_->SelectLanguage("es");
    EXPECT_EQ(Translate("Close"), u"Close"); // off for the rest of the process
    EXPECT_EQ(shown_.size(), 1u);
}

TEST_F(Engine, AWrongMagicNumberReachesTheCallerAtEachOpen)
{
    test::WriteFile(MoPath("es"), "not a catalogue at all");
    Start();
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            Translate("Close");
            ADD_FAILURE() << "no exception";
        } catch (const EGGIOError& error) {
            EXPECT_EQ(error.Message(), "This file is not a valid GNU gettext mo file: " + MoPath("es"));
        }
    }
}

TEST_F(Engine, TranslationsThatAreNotUtf8RaiseTheDecodersText)
{
    test::WriteFile(MoPath("es"),
                    test::MoBytes({{"", "Content-Type: text/plain; charset=UTF-8\n"}, {"Close", "Cerr\xff"}}));
    Start();
    try {
        Translate("Close");
        ADD_FAILURE() << "no exception";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "Invalid byte sequence encountered in utf-8 string");
    }
}

TEST_F(Engine, AnExplicitCodePageConvertsStrictly)
{
    Catalogue("es", kSpanish);
    Start();
    EXPECT_EQ(Translate("Clo\xffse"), u"Clo\ufffdse"); // the system code page never fails
    engine_->SetCodePage(TGnuGettextInstance::kUtf8CodePage);
    EXPECT_EQ(Translate("Close"), u"Cerrar");
    for (int codePage : {TGnuGettextInstance::kUtf8CodePage, 1252}) {
        engine_->SetCodePage(codePage);
        try {
            Translate("Clo\xffse");
            ADD_FAILURE() << codePage << ": converted";
        } catch (const EGGAnsi2WideConvError& error) {
            EXPECT_EQ(error.Message(), "Cannot convert AnsiString to UnicodeString:\r\nClo\xffse");
        }
    }
}

TEST_F(Engine, ReadsHeaderPropertiesWithoutRegardToCase)
{
    test::WriteFile(MoPath("es"),
                    test::MoBytes({{"",
                                    "Project-Id-Version: Skerrow 1.0\n"
                                    "Last-Translator:  Luc\xc3\xad"
                                    "a  \n"
                                    "Content-Type: text/plain; charset=UTF-8\n"},
                                   {"Close", "Cerrar"}}));
    Start();
    EXPECT_EQ(engine_->HeaderProperty("content-type"), u"text/plain; charset=UTF-8");
    EXPECT_EQ(engine_->HeaderProperty("Last-Translator"), u"Luc\u00eda");
    EXPECT_EQ(engine_->HeaderProperty("Project-Id"), u"");
    EXPECT_EQ(engine_->HeaderProperty("Language-Team"), u"");
}

TEST_F(Engine, DomainsAreCreatedOnLookupAndBoundToTheirOwnFolders)
{
    Catalogue("es", {{"Close", "Cerrar"}});
    test::WriteFile(folder_ + "other/es/LC_MESSAGES/extra.mo", test::ReadFile(MoPath("es")));
    Start();
    EXPECT_EQ(engine_->LookupInDomain("extra", u"Close"), u"Close"); // looked for beside "default"
    engine_->BindDomain("extra", folder_ + "other");
    EXPECT_EQ(engine_->LookupInDomain("extra", u"Close"), u"Cerrar");
    engine_->SetEnabled(false);
    EXPECT_EQ(engine_->LookupInDomain("extra", u"Close"), u"Close");
}

// A file appended to the executable is found before a file of the same name
// on disk.
TEST_F(Engine, AnAppendedCatalogueWinsOverOneOnDisk)
{
    const std::string signature = std::string("6637DB2E-62E1-4A60") + "-AC19-C23867046A89";
    test::WriteFile(folder_ + "skerrow", "code " + signature + std::string(8, '\0') + " code");
    test::WriteFile(folder_ + "appended.mo",
                    test::MoBytes({{"", "Content-Type: text/plain; charset=UTF-8\n"}, {"Close", "Cerrar"}}));
    Catalogue("es", {{"Close", "Cerrado en disco"}});
    std::string command = std::string(SKERROW_APPEND_TOOL) + " " + folder_ +
        "skerrow 'LOCALE\\ES\\LC_MESSAGES\\DEFAULT.MO=" + folder_ + "appended.mo'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string program = test::ReadFile(folder_ + "skerrow");
    std::uint64_t directory = 0;
    std::size_t slot = program.find(signature) + signature.size();
    for (int i = 7; i >= 0; --i)
        directory = (directory << 8) | static_cast<unsigned char>(program[slot + i]);

    Start();
    locator_->Analyze(directory);
    EXPECT_TRUE(locator_->IsAppended(folder_ + "LOCALE/es/lc_messages/default.mo"));
    EXPECT_EQ(Translate("Close"), u"Cerrar");
}

TEST(TFileLocator, SharesACatalogueUntilItsLastRelease)
{
    std::string folder = test::MakeTempFolder();
    test::WriteFile(folder + "a.mo", test::MoBytes({{"Close", "Cerrar"}}));
    TFileLocator locator(folder + "skerrow");
    bool found = false;
    TMoFile* first = locator.GetMoFile(folder + "a.mo");
    TMoFile* second = locator.GetMoFile(folder + "a.mo");
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->Users, 2);
    test::WriteFile(folder + "a.mo", test::MoBytes({{"Close", "Cerrado"}}));
    locator.ReleaseMoFile(first);
    EXPECT_EQ(second->Lookup("Close", found), "Cerrar");
    locator.ReleaseMoFile(second);
    TMoFile* reloaded = locator.GetMoFile(folder + "a.mo");
    EXPECT_EQ(reloaded->Lookup("Close", found), "Cerrado");
    locator.ReleaseMoFile(reloaded);
    test::RemoveFolder(folder);
}

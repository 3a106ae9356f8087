#include "framework/TranslateComponent.h"
#include "framework/AttachedComponent.h"
#include "framework/MessageBox.h"
#include "framework/TranslateStrings.h"
#include "i18n/EGnuGettext.h"
#include "i18n/GnuGettext.h"
#include "i18n/TGnuGettextInstance.h"
#include "runtime/TComponent.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

// A Qt class with a read-only text and two properties that refer to one
// shared object.
class TProbe : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Fixed READ Fixed)
    Q_PROPERTY(QObject* First READ Shared WRITE SetShared)
    Q_PROPERTY(QObject* Second READ Shared WRITE SetShared)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QStringList Lines MEMBER lines)

public:
    QStringList lines;
    using QObject::QObject;
    QString Fixed() const { return QStringLiteral("Close"); }
    QObject* Shared() const { return shared_; }
    void SetShared(QObject* shared) { shared_ = shared; }
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption)
    {
        caption_ = caption;
        ++writes;
    }
    int writes = 0;

private:
    QObject* shared_ = nullptr;
    QString caption_;
};

class TOtherProbe : public TProbe {
    Q_OBJECT

public:
    using TProbe::TProbe;
};

// A runtime component with its own published texts, as the download
// component has.
class TGrabberLike : public TComponent {
public:
    std::string ClassName() const override { return "TGrabberLike"; }
    std::vector<TPublishedText> PublishedTexts() override
    {
        return {
            {"Agent", [this] { return agent; }, [this](const std::string& v) { agent = v; }},
            {"Url", [this] { return url; }, [this](const std::string& v) { url = v; }},
            {"Broken", [] { return std::string("Close"); }, [](const std::string&) { throw Exception("disk full"); }}};
    }
    std::string agent = "Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.9.0.6)";
    std::string url;
};

const char* const kPo = R"po(msgid ""
msgstr "Content-Type: text/plain; charset=UTF-8\n"

msgid "Close"
msgstr "Cerrar"

msgid "Help"
msgstr "Ayuda"

msgid "Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.9.0.6)"
msgstr "Mozilla/5.0 (Windows; U; Windows NT 5.1; es-ES; rv:1.9.0.6)"

msgid "Transfer Rate:"
msgstr "Tasa de Transferencia: "

msgid "button"
msgstr "boton"

msgid "Serif Test Family"
msgstr "Sans Test Family"
)po";

// The engine pointed at a catalogue folder of the test's own; collects the
// message boxes instead of showing them.
class WindowTranslation : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() / ("skerrow-tc-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_ / "es/LC_MESSAGES");
        std::ofstream(folder_ / "es.po") << kPo;
        std::string command = "msgfmt -o '" + (folder_ / "es/LC_MESSAGES/default.mo").string() + "' '" +
            (folder_ / "es.po").string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
        DefaultInstance().BindDomain("default", folder_.string());
        SelectLanguage("en");
        previousSeam_ = SetMessageBoxSeam([this](const TMessageBoxRequest& request) { boxes_.push_back(request); });

        window_ = std::make_unique<QWidget>();
        window_->setWindowTitle("Close");
        label_ = new QLabel("Transfer Rate:", window_.get());
        label_->setObjectName("label");
        label_->setToolTip("Help");
        button_ = new QPushButton("Close", window_.get());
        button_->setObjectName("button");
    }
    void TearDown() override
    {
        window_.reset();
        SetMessageBoxSeam(previousSeam_);
        std::filesystem::remove_all(folder_);
    }

    std::filesystem::path folder_;
    std::unique_ptr<QWidget> window_;
    QLabel* label_ = nullptr;
    QPushButton* button_ = nullptr;
    std::vector<TMessageBoxRequest> boxes_;
    TMessageBoxSeam previousSeam_;
};

} // namespace

TEST_F(WindowTranslation, TranslatesEveryWritableTextButComponentNames)
{
    SelectLanguage("es");
    auto* probe = new TProbe(window_.get());
    probe->setObjectName("Close");
    probe->SetCaption("Help");
    TGrabberLike grabber;
    grabber.SetName("Close");
    grabber.url = "Help";
    auto* holder = new QObject(window_.get());
    AttachComponent(holder, &grabber);
    TP_Ignore("Close.Broken");

    TranslateComponent(window_.get());

    EXPECT_EQ(window_->windowTitle(), "Cerrar");
    EXPECT_EQ(label_->text(), "Tasa de Transferencia: ");
    EXPECT_EQ(label_->toolTip(), "Ayuda");
    EXPECT_EQ(button_->text(), "Cerrar");
    EXPECT_EQ(button_->objectName(), "button"); // in the catalogue, but a name
    EXPECT_EQ(probe->objectName(), "Close");
    EXPECT_EQ(probe->Fixed(), "Close"); // read-only
    EXPECT_EQ(probe->Caption(), "Ayuda");
    EXPECT_EQ(grabber.agent, "Mozilla/5.0 (Windows; U; Windows NT 5.1; es-ES; rv:1.9.0.6)");
    EXPECT_EQ(grabber.url, "Ayuda");
    EXPECT_EQ(grabber.Name(), "Close");
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(WindowTranslation, FontNamesAreLookedUpAndComeBack)
{
    QFont font = label_->font();
    font.setFamily("Serif Test Family");
    label_->setFont(font);
    TranslateComponent(window_.get());
    SelectLanguage("es");
    RetranslateComponent(window_.get());
    EXPECT_EQ(label_->font().family(), "Sans Test Family");
    EXPECT_EQ(label_->font().pointSize(), font.pointSize());
    SelectLanguage("en");
    RetranslateComponent(window_.get());
    EXPECT_EQ(label_->font().family(), "Serif Test Family");
}

TEST_F(WindowTranslation, TextListsAreTranslatedLineByLine)
{
    auto* probe = new TProbe(window_.get());
    probe->lines = {"Close", "", "Help", "unknown"};
    TranslateComponent(window_.get());
    SelectLanguage("es");
    RetranslateComponent(window_.get());
    EXPECT_EQ(probe->lines, (QStringList{"Cerrar", "", "Ayuda", "unknown"}));
    SelectLanguage("en");
    RetranslateComponent(window_.get());
    EXPECT_EQ(probe->lines, (QStringList{"Close", "", "Help", "unknown"}));

    QStringList list{"Help", ""};
    SelectLanguage("es");
    TranslateStrings(list);
    EXPECT_EQ(list, (QStringList{"Ayuda", ""}));
}

TEST_F(WindowTranslation, AnObjectReachableTwiceIsTranslatedOnce)
{
    SelectLanguage("es");
    auto* probe = new TProbe(window_.get());
    TProbe shared; // owned by nobody in the window, reached through both properties
    shared.SetCaption("Close");
    shared.writes = 0;
    probe->SetShared(&shared);
    TranslateComponent(window_.get());
    EXPECT_EQ(shared.Caption(), "Cerrar");
    EXPECT_EQ(shared.writes, 1);
}

TEST_F(WindowTranslation, SwitchingBackRestoresTheRecordedEnglishExactly)
{
    TranslateComponent(window_.get());
    label_->setStatusTip(""); // empty at translation: never recorded
    SelectLanguage("es");
    RetranslateComponent(window_.get());
    EXPECT_EQ(label_->text(), "Tasa de Transferencia: ");
    EXPECT_EQ(button_->text(), "Cerrar");
    label_->setStatusTip("typed later");

    SelectLanguage("en");
    RetranslateComponent(window_.get());
    EXPECT_EQ(window_->windowTitle(), "Close");
    EXPECT_EQ(label_->text(), "Transfer Rate:");
    EXPECT_EQ(label_->toolTip(), "Help");
    EXPECT_EQ(button_->text(), "Close");
    EXPECT_EQ(label_->statusTip(), "typed later");
}

// The recording does not own the objects: one freed since is passed over.
TEST_F(WindowTranslation, AControlFreedAfterTranslationIsSkippedOnRetranslation)
{
    TranslateComponent(window_.get());
    delete button_;
    SelectLanguage("es");
    RetranslateComponent(window_.get());
    EXPECT_EQ(window_->windowTitle(), "Cerrar");
}

TEST_F(WindowTranslation, RetranslatingInTheSameLanguageDoesNothing)
{
    TranslateComponent(window_.get());
    SelectLanguage("es");
    RetranslateComponent(window_.get());
    button_->setText("changed by the program");
    RetranslateComponent(window_.get());
    EXPECT_EQ(button_->text(), "changed by the program");
}

TEST_F(WindowTranslation, RetranslatingAWindowNeverTranslatedRaises)
{
    try {
        RetranslateComponent(window_.get());
        FAIL() << "no exception";
    } catch (const EGGProgrammingError& error) {
        EXPECT_EQ(error.Message(),
                  "Retranslate was called on an object that has not been translated before. "
                  "Please use TranslateComponent() before RetranslateComponent().");
    }
}

TEST_F(WindowTranslation, TranslatingTwiceAfterALanguageChangeShowsTheErrorBox)
{
    TranslateComponent(window_.get());
    TranslateComponent(window_.get()); // same language: nothing at all
    EXPECT_TRUE(boxes_.empty());
    SelectLanguage("es");
    TranslateComponent(window_.get());
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].Caption, "Error");
    EXPECT_EQ(boxes_[0].Owner, nullptr);
    EXPECT_EQ(boxes_[0].Text,
              "This application tried to switch the language, but in an incorrect way. The programmer "
              "needs to replace a call to TranslateComponent with a call to RetranslateComponent(). The "
              "programmer should see the changelog of gnugettext for more information.");
    EXPECT_EQ(button_->text(), "Close");
    // The marker now holds the new language, so a retranslation is skipped.
    RetranslateComponent(window_.get());
    EXPECT_EQ(button_->text(), "Close");
}

TEST_F(WindowTranslation, APropertyThatCannotBeWrittenStopsTheWalkWithTheComposedText)
{
    SelectLanguage("es");
    TGrabberLike grabber;
    auto* holder = new QObject(window_.get());
    AttachComponent(holder, &grabber);
    try {
        TranslateComponent(window_.get());
        FAIL() << "no exception";
    } catch (const EGGComponentError& error) {
        EXPECT_EQ(error.Message(),
                  "Property cannot be translated.\r\n"
                  "Add TP_GlobalIgnoreClassProperty(TGrabberLike, 'Broken') to your source code or use\r\n"
                  "TP_Ignore (self, '.Broken') to prevent this message.\r\n"
                  "Reason: disk full");
    }
    // The failed run left no marker: the window counts as untranslated.
    EXPECT_THROW(RetranslateComponent(window_.get()), EGGProgrammingError);
}

TEST_F(WindowTranslation, PerCallIgnoresLastOneRun)
{
    SelectLanguage("es");
    TP_Ignore("label.toolTip");
    TP_Ignore("button");
    TP_Ignore(".windowTitle");
    TranslateComponent(window_.get());
    EXPECT_EQ(label_->toolTip(), "Help");
    EXPECT_EQ(label_->text(), "Tasa de Transferencia: ");
    EXPECT_EQ(button_->text(), "Close");
    EXPECT_EQ(window_->windowTitle(), "Close");

    QWidget second;
    auto* other = new QPushButton("Close", &second);
    other->setObjectName("button");
    TP_IgnoreClassProperty(ClassOf<QAbstractButton>(), "text");
    TranslateComponent(&second);
    EXPECT_EQ(other->text(), "Close");
    QWidget third;
    auto* again = new QPushButton("Close", &third);
    again->setObjectName("button");
    TranslateComponent(&third);
    EXPECT_EQ(again->text(), "Cerrar");
}

TEST_F(WindowTranslation, GlobalClassHandlingKeepsClassesBeforeTheirAncestors)
{
    SelectLanguage("es");
    std::vector<std::string> handed;
    TP_GlobalHandleClass(ClassOf<TOtherProbe>(), [&](const TTranslatable& object) { handed.push_back(object.Name()); });
    TP_GlobalIgnoreClassProperty(ClassOf<TProbe>(), "Caption");
    try {
        TP_GlobalIgnoreClassProperty(ClassOf<TOtherProbe>(), "Caption");
        FAIL() << "no exception";
    } catch (const EGGProgrammingError& error) {
        EXPECT_EQ(error.Message(), "You cannot ignore a class property for a class that has a handler set.");
    }
    auto* probe = new TProbe(window_.get());
    probe->SetCaption("Close");
    auto* other = new TOtherProbe(window_.get());
    other->setObjectName("other");
    other->SetCaption("Close");
    TranslateComponent(window_.get());
    EXPECT_EQ(probe->Caption(), "Close");
    EXPECT_EQ(other->Caption(), "Close");
    EXPECT_EQ(handed, std::vector<std::string>{"other"});
    EXPECT_EQ(button_->text(), "Cerrar");
}

TEST_F(WindowTranslation, ACatalogueWithoutUtf8IsReportedThroughTheMessageBox)
{
    std::filesystem::create_directories(folder_ / "latin/es/LC_MESSAGES");
    std::ofstream(folder_ / "latin.po") << "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n";
    std::string mo = (folder_ / "latin/es/LC_MESSAGES/latin.mo").string();
    ASSERT_EQ(std::system(("msgfmt -o '" + mo + "' '" + (folder_ / "latin.po").string() + "'").c_str()), 0);
    DefaultInstance().BindDomain("latin", (folder_ / "latin").string());
    SelectLanguage("es");
    TranslateComponent(window_.get(), "latin");
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].Caption, "Localization problem");
    EXPECT_EQ(boxes_[0].Owner, nullptr);
    EXPECT_EQ(button_->text(), "Close");
}

#include "TranslateComponentTest.moc"

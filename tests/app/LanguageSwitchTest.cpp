#include "app/TForm1.h"
#include "framework/AttachedComponent.h"
#include "framework/TImage.h"
#include "framework/TSaveDialog.h"
#include "framework/TranslateComponent.h"
#include "grabber/TJvHttpUrlGrabber.h"
#include "i18n/AppendedFiles.h"
#include "i18n/GnuGettext.h"
#include "i18n/TGnuGettextInstance.h"
#include "widgets/TNxHeaderPanel.h"
#include "widgets/TNxHtmlLabel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMetaProperty>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

namespace {

// Every text property of every object of the window, by object and property.
std::map<std::string, QString> TextsOf(QObject* window)
{
    std::map<std::string, QString> texts;
    QList<QObject*> objects = window->findChildren<QObject*>();
    objects.prepend(window);
    for (QObject* object : objects) {
        const QMetaObject* meta = object->metaObject();
        for (int i = 0; i < meta->propertyCount(); ++i) {
            QMetaProperty property = meta->property(i);
            if (property.metaType().id() == QMetaType::QString && property.isWritable())
                texts[object->objectName().toStdString() + "." + property.name()] = property.read(object).toString();
        }
    }
    return texts;
}

// The shipped Spanish catalogue, compiled from the source tree into a folder
// of the test's own, plus an entry that equals a component name.
class ShippedSpanish : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() / ("skerrow-lang-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_ / "es/LC_MESSAGES");
        std::ifstream source(std::string(std::getenv("SKERROW_SOURCE_DIR")) + "/locale/es.po");
        std::stringstream po;
        po << source.rdbuf() << "\nmsgid \"Edit1\"\nmsgstr \"Editar1\"\n\nmsgid \"Form1\"\nmsgstr \"Formulario1\"\n";
        std::ofstream(folder_ / "es.po") << po.str();
        std::string command = "msgfmt -o '" + (folder_ / "es/LC_MESSAGES/default.mo").string() + "' '" +
            (folder_ / "es.po").string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
        DefaultInstance().BindDomain("default", folder_.string());
        SelectLanguage("en");
    }
    void TearDown() override
    {
        form.reset();
        // Later tests read the catalogue the program carries.
        DefaultInstance().BindDomain("default", DefaultInstance().DefaultDomainDirectory());
        SelectLanguage("en");
        std::filesystem::remove_all(folder_);
    }

    std::filesystem::path folder_;
    std::unique_ptr<TForm1> form;
};

} // namespace

TEST_F(ShippedSpanish, SpanishFlagTranslatesEveryCaptionAndHint)
{
    form = std::make_unique<TForm1>();
    form->imgESClick(form->imgES);

    EXPECT_EQ(form->windowTitle(), "Skerrow");
    EXPECT_EQ(form->NxHeaderPanel1->Caption(), "Paso 1: Introduzca URL del Video");
    EXPECT_EQ(form->NxHeaderPanel3->Caption(), "Paso 2: Descargar Video");
    EXPECT_EQ(form->btnDownload->text(), "COMENZAR");
    EXPECT_EQ(form->chkNormal->text(), "Normal - FLV");
    EXPECT_EQ(form->chkMobile->text(), QString::fromUtf8("Teléfono móvil - 3GP"));
    EXPECT_EQ(form->chkHQ->text(), "HQ (Alta Calidad) - MP4 480x360");
    EXPECT_EQ(form->chkHD->text(), QString::fromUtf8("HD (Alta Definición)  - MP4 1280x720"));
    EXPECT_EQ(form->NxHtmlLabel1->Caption(), "<a href=\"http://www.youtube.com\">Abrir YouTube en un Navegador</a>");
    EXPECT_EQ(form->imgHelp->toolTip(), "Acerca de Skerrow");
    EXPECT_EQ(form->imgES->toolTip(), QString::fromUtf8("Spanish - Español"));
    EXPECT_EQ(form->imgEN->toolTip(), QString::fromUtf8("English - Inglés"));
    // Texts without an entry stay, blanks included.
    EXPECT_EQ(form->GroupBox2->title(), " Video URL : ");
    EXPECT_EQ(form->GroupBox1->title(), " Video Quality : ");
    // Names are never looked up, even with an entry of their own.
    EXPECT_EQ(form->objectName(), "Form1");
    EXPECT_EQ(form->Edit1->objectName(), "Edit1");
}

TEST_F(ShippedSpanish, EnglishFlagRestoresEveryRecordedTextAndKeepsTheUsersState)
{
    form = std::make_unique<TForm1>();
    const auto english = TextsOf(form.get());
    form->Edit1->setText("http://www.youtube.com/watch?v=abc ");
    form->chkMobile->setChecked(true);

    form->imgESClick(form->imgES);
    EXPECT_NE(TextsOf(form.get()), english);
    form->imgENClick(form->imgEN);

    auto restored = TextsOf(form.get());
    restored["Edit1.text"] = english.at("Edit1.text");
    EXPECT_EQ(restored, english);
    EXPECT_EQ(form->Edit1->text(), "http://www.youtube.com/watch?v=abc ");
    EXPECT_TRUE(form->chkMobile->isChecked());
    EXPECT_TRUE(form->btnDownload->isEnabled());
}

TEST_F(ShippedSpanish, ClickingTheCurrentFlagChangesNothing)
{
    form = std::make_unique<TForm1>();
    form->imgENClick(form->imgEN);
    form->imgESClick(form->imgES);
    form->btnDownload->setText("set by the program");
    form->imgESClick(form->imgES);
    EXPECT_EQ(form->btnDownload->text(), "set by the program");
}

TEST_F(ShippedSpanish, AWindowCreatedInSpanishOpensInSpanishAndTheFlagKeepsIt)
{
    SelectLanguage("es_ES");
    form = std::make_unique<TForm1>();
    EXPECT_EQ(form->btnDownload->text(), "COMENZAR");
    form->imgESClick(form->imgES); // es_ES -> es: retranslated to the same texts
    EXPECT_EQ(CurrentLanguage(), "es");
    EXPECT_EQ(form->btnDownload->text(), "COMENZAR");
    form->imgENClick(form->imgEN);
    EXPECT_EQ(form->btnDownload->text(), "START");
    EXPECT_EQ(form->chkHD->text(), "HD (High Definition)  - MP4 1280x720");
}

// Every published text of a download component counts: in Spanish the
// user agent of its downloads becomes the es-ES one, the other texts are
// looked up and come back as they are, and its name is left alone.
TEST_F(ShippedSpanish, ADownloadComponentGetsTheSpanishUserAgent)
{
    SelectLanguage("es");
    QWidget window;
    auto* holder = new QObject(&window);
    TJvHttpUrlGrabber grabber;
    grabber.SetName("Close");
    grabber.SetAgent("Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.9.0.6)");
    AttachComponent(holder, &grabber);
    TranslateComponent(&window);
    EXPECT_EQ(grabber.Agent(), "Mozilla/5.0 (Windows; U; Windows NT 5.1; es-ES; rv:1.9.0.6)");
    EXPECT_EQ(grabber.Name(), "Close");
    std::map<std::string, std::string> texts;
    for (const TPublishedText& text : grabber.PublishedTexts())
        texts[text.Name] = text.Read();
    EXPECT_EQ(texts["FileName"], "output.txt");
    EXPECT_EQ(texts["ProxyAddresses"], "proxyserver");
    EXPECT_EQ(texts["ProxyIgnoreList"], "<local>");
}

// The program as built carries the Spanish catalogue inside itself.
TEST(Program, CarriesTheSpanishCatalogue)
{
    std::filesystem::path program = std::filesystem::path(ExecutableName()).parent_path() / "../../bin/skerrow";
    ASSERT_TRUE(std::filesystem::exists(program)) << program;
    std::ifstream file(program, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), {});
    const std::string signature = std::string("6637DB2E-62E1-4A60") + "-AC19-C23867046A89";
    std::size_t slot = bytes.find(signature) + signature.size();
    std::uint64_t directory = 0;
    for (int i = 7; i >= 0; --i)
        directory = (directory << 8) | static_cast<unsigned char>(bytes[slot + i]);
    auto files = ScanAppendedFiles(program.string(), directory);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].first, "LOCALE\\ES\\LC_MESSAGES\\default.mo");
    EXPECT_EQ(bytes.substr(files[0].second.Offset, 4), "\xde\x12\x04\x95");
}

TEST(QtCatalogue, SaveDialogSpeaksSpanishAfterTheFlag)
{
    TForm1 form;
    form.imgESClick(form.imgES);
    QString accept;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        for (QAbstractButton* button : dialog->findChild<QDialogButtonBox*>()->buttons())
            if (dialog->findChild<QDialogButtonBox*>()->buttonRole(button) == QDialogButtonBox::AcceptRole)
                accept = button->text();
        static_cast<QDialog*>(dialog)->reject();
    });
    form.SaveDialog1->Execute(&form);
    form.imgENClick(form.imgEN);
    EXPECT_EQ(accept.remove(u'&'), "Guardar");
}

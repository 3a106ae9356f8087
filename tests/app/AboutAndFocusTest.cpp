#include "Contrast.h"
#include "app/Site.h"
#include "app/TForm1.h"
#include "framework/AboutBox.h"
#include "framework/Shell.h"
#include "framework/TImage.h"
#include "i18n/GnuGettext.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>

// The help picture tells what the program is; the pictures show plainly
// which of them has the focus.
namespace {

QImage Render(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

} // namespace

TEST(About, TheHelpPictureTellsNameVersionLicenceAndWhereHelpIs)
{
    TForm1 form;
    std::vector<TAboutRequest> shown;
    TAboutSeam previous = SetAboutSeam([&](const TAboutRequest& about) { shown.push_back(about); });
    form.imgHelp->Click();
    SelectLanguage("es");
    form.imgHelp->Click();
    SelectLanguage("en");
    SetAboutSeam(previous);

    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].Owner, &form);
    EXPECT_EQ(shown[0].Caption, "About Skerrow");
    EXPECT_TRUE(QString::fromStdString(shown[0].Title).contains(QRegularExpression("^Skerrow \\d+\\.\\d+\\.\\d+$")))
        << shown[0].Title;
    EXPECT_EQ(shown[0].Lines.at(1), "Licence: proprietary; all rights reserved.");
    EXPECT_EQ(shown[0].HelpAddress, "http://" + Site::MakerHost() + "/skerrow/");
    EXPECT_EQ(shown[1].Caption, "Acerca de Skerrow");
    EXPECT_EQ(shown[1].Title, shown[0].Title);
}

TEST(About, TheHelpAddressOpensThroughTheShell)
{
    TForm1 form;
    std::vector<std::string> opened;
    TShellSeam previous = SetShellSeam([&](const TShellRequest& request) { opened.push_back(request.Target); });
    QString text;
    // The box is modal: it is read and answered from inside its own loop.
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        text = label->text();
        emit label->linkActivated(QStringLiteral("http://skerrow.example.org/skerrow/"));
        box->accept();
    });
    ShowAboutBox(
        {&form, "About <Skerrow>", "Skerrow 1.2.3", {"A & B"}, "Help:", "http://skerrow.example.org/skerrow/"});
    SetShellSeam(previous);

    EXPECT_EQ(opened, std::vector<std::string>{"http://skerrow.example.org/skerrow/"});
    EXPECT_TRUE(text.contains("<b>Skerrow 1.2.3</b>")) << text.toStdString();
    EXPECT_TRUE(text.contains("<p>A &amp; B</p>")) << "texts are escaped, not read as markup";
}

TEST(FocusFrame, APictureWithTheFocusIsPlainlyFramed)
{
    TForm1 form;
    form.show();
    QApplication::setActiveWindow(&form);
    const QImage without = Render(*form.imgES);
    form.imgES->setFocus();
    ASSERT_TRUE(form.imgES->hasFocus());
    const QImage with = Render(*form.imgES);

    // Under the flag, on the band's white, two rows across its whole width.
    const int below = form.imgES->Picture().deviceIndependentSize().toSize().height();
    for (int y : {below, below + 1})
        for (int x = 0; x < form.imgES->width(); ++x) {
            EXPECT_EQ(without.pixelColor(x, y), QColor(Qt::white)) << x << "," << y;
            EXPECT_GE(Contrast(with.pixelColor(x, y), Qt::white), 3.0) << x << "," << y;
        }
}

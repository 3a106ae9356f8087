#include "Contrast.h"
#include "app/TForm1.h"
#include "app/TForm2.h"
#include "widgets/TNxHeaderPanel.h"
#include "widgets/TNxHtmlLabel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QImage>
#include <QRadioButton>

#include <cmath>

// Under a dark desktop theme the windows keep the light look they were
// designed in, so every caption stays readable.
namespace {

QImage Render(QWidget& window)
{
    QImage image(window.size(), QImage::Format_RGB32);
    window.render(&image);
    return image;
}

QPalette DarkPalette()
{
    QPalette dark(QColor(0x35, 0x35, 0x35), QColor(0x25, 0x25, 0x25));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    return dark;
}

// The contrast between the darkest pixel of a text's area and the
// background beside it, as the accessibility guidelines measure it.
double TextContrast(const QImage& image, const QRect& text, QPoint background)
{
    double darkest = 1;
    for (int y = text.top(); y <= text.bottom(); ++y)
        for (int x = text.left(); x <= text.right(); ++x)
            darkest = std::min(darkest, Luminance(image.pixelColor(x, y)));
    return (Luminance(image.pixelColor(background)) + 0.05) / (darkest + 0.05);
}

} // namespace

TEST(DarkPalette, WindowsLookAsDesignedAndCaptionsStayReadable)
{
    const QPalette desktop = QApplication::palette();
    TForm1 lightMain;
    TForm2 lightDownload(nullptr);
    const QImage lightMainImage = Render(lightMain);
    const QImage lightDownloadImage = Render(lightDownload);
    QApplication::setPalette(DarkPalette());
    TForm1 darkMain;
    TForm2 darkDownload(nullptr);
    const QImage main = Render(darkMain);
    const QImage download = Render(darkDownload);
    QApplication::setPalette(desktop);

    EXPECT_EQ(main, lightMainImage);
    EXPECT_EQ(download, lightDownloadImage);
    // The step caption on its band, the link on the group's face.
    const QRect step1(darkMain.NxHeaderPanel1->mapTo(&darkMain, QPoint(9, 4)), QSize(130, 16));
    EXPECT_GE(TextContrast(main, step1, step1.topRight() + QPoint(200, 0)), 4.5);
    const QRect link(darkMain.NxHtmlLabel1->mapTo(&darkMain, QPoint(2, 1)), QSize(120, 14));
    EXPECT_GE(TextContrast(main, link, link.topRight() + QPoint(60, 0)), 4.5);
}

namespace {

// A desktop that turns dark while the program runs, the way some themes
// (qt6ct) do it: each widget is told of a theme change and then handed the
// new palette of its own.
void TurnTheDesktop(const QPalette& palette)
{
    QApplication::setPalette(palette);
    for (QWidget* widget : QApplication::allWidgets()) {
        QEvent change(QEvent::ThemeChange);
        QApplication::sendEvent(widget, &change);
        widget->setPalette(palette);
    }
    QApplication::processEvents();
}

} // namespace

TEST(DarkPalette, TheLookHoldsWhenTheDesktopTurnsDarkWhileItRuns)
{
    const QPalette desktop = QApplication::palette();
    TForm1 main;
    auto* download = new TForm2(&main);
    QDialog dialog(&main);
    const QImage lightMain = Render(main);
    const QImage lightDownload = Render(*download);

    TurnTheDesktop(DarkPalette());
    const QImage darkMain = Render(main);
    const QImage darkDownload = Render(*download);
    const QColor dialogFace = dialog.palette().color(QPalette::Window);
    TurnTheDesktop(desktop);

    EXPECT_EQ(darkMain, lightMain);
    EXPECT_EQ(darkDownload, lightDownload);
    const QRect choice(main.chkHQ->mapTo(&main, QPoint(20, 2)), QSize(150, 12));
    EXPECT_GE(TextContrast(darkMain, choice, choice.topRight() + QPoint(20, 0)), 4.5);
    EXPECT_EQ(dialogFace, DarkPalette().color(QPalette::Window)) << "dialogs follow the desktop";
}

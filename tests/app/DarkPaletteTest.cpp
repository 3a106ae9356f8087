#include "app/TForm1.h"
#include "app/TForm2.h"
#include "widgets/TNxHeaderPanel.h"
#include "widgets/TNxHtmlLabel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QImage>

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

double Luminance(QColor color)
{
    auto linear = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) + 0.0722 * linear(color.blueF());
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

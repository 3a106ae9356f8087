#include "WidgetsTestApplication.h"

#include <QApplication>
#include <QFontDatabase>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// One application for the whole run, with the program's Tahoma registered.
class QtApplicationEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "widgets_tests";
        static char* argv[] = {name, nullptr};
        // No display is needed: the widgets render into images.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        application_ = new QApplication(argc, argv);
        QFontDatabase::addApplicationFont("/usr/share/wine/fonts/tahoma.ttf");
        QFontDatabase::addApplicationFont("/usr/share/wine/fonts/tahomabd.ttf");
        QApplication::setFont(QFont("Tahoma", 8));
    }

    void TearDown() override { delete application_; }

private:
    QApplication* application_ = nullptr;
};

const auto* const environment = testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace

QImage RenderWidget(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    widget.render(&image);
    return image;
}

bool AreaHasColor(const QImage& image, const QRect& area, QColor color, int tolerance)
{
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - color.red()) + std::abs(pixel.green() - color.green())
                    + std::abs(pixel.blue() - color.blue()) <= tolerance)
                return true;
        }
    }
    return false;
}

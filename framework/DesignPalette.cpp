#include "framework/DesignPalette.h"

#include <QStyle>
#include <QStyleFactory>

#include <memory>

const QPalette& DesignPalette()
{
    // Fusion's own palette is Qt's plain light one, the same on every desktop.
    static const QPalette palette = [] {
        std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        return fusion ? fusion->standardPalette() : QPalette(Qt::white, QColor(0xEF, 0xEF, 0xEF));
    }();
    return palette;
}

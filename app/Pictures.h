#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn in code so their source lives here. The
// sizes are in device-independent pixels; ratio is the device pixel ratio
// they are drawn for.
namespace Pictures {

QPixmap Banner(qreal ratio = 1);      // 800 x 80, the white top band with the product name
QPixmap SpanishFlag(qreal ratio = 1); // 16 x 11
QPixmap EnglishFlag(qreal ratio = 1); // 16 x 11
QPixmap HelpGlyph(qreal ratio = 1);   // 16 x 16, transparent around the disc
QPixmap AppIcon(int size = 72);
QIcon WindowIcon();

} // namespace Pictures

#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn in code so their source lives here.
namespace Pictures {

QPixmap Banner();      // 800 x 80, the white top band with the product name
QPixmap SpanishFlag(); // 16 x 11
QPixmap EnglishFlag(); // 16 x 11
QPixmap HelpGlyph();   // 16 x 16, transparent around the disc
QPixmap AppIcon(int size = 72);
QIcon WindowIcon();

} // namespace Pictures

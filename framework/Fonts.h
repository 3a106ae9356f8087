#pragma once

#include <QFont>

// The windows are laid out for Tahoma. When the desktop has no Tahoma, Wine's
// free Tahoma is registered for this process.
void RegisterTahoma();

// "Tahoma" at 8 point, 11 pixels high as at 96 pixels per inch.
QFont TahomaFont(QFont::Weight weight = QFont::Normal);

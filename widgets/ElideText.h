#pragma once

#include <QString>

class QFontMetrics;

// Shortens text in its middle, the removed part replaced by "...", until it
// fits the width; text that fits is returned whole.
QString ElideMiddle(const QString& text, const QFontMetrics& metrics, int width);

// Cuts text at its end with "..." until it fits the width.
QString ElideEnd(const QString& text, const QFontMetrics& metrics, int width);

#include "widgets/ElideText.h"

#include <QFontMetrics>

#include <functional>

namespace {

const QString kEllipsis = QStringLiteral("...");

// The longest shortening (by characters kept) that fits; binary search, as
// titles can be long.
QString LongestFitting(const QString& text, const QFontMetrics& metrics, int width,
                       const std::function<QString(qsizetype kept)>& shorten)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    qsizetype low = 0;
    qsizetype high = text.size() - 1;
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (metrics.horizontalAdvance(shorten(middle)) <= width)
            low = middle;
        else
            high = middle - 1;
    }
    return shorten(low);
}

} // namespace

QString ElideMiddle(const QString& text, const QFontMetrics& metrics, int width)
{
    return LongestFitting(text, metrics, width, [&](qsizetype kept) {
        const qsizetype head = (kept + 1) / 2;
        return text.left(head) + kEllipsis + text.right(kept - head);
    });
}

QString ElideEnd(const QString& text, const QFontMetrics& metrics, int width)
{
    return LongestFitting(text, metrics, width, [&](qsizetype kept) { return text.left(kept) + kEllipsis; });
}

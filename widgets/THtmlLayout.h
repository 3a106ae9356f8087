#pragma once

#include "widgets/TColor.h"

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>
#include <vector>

class QPainter;

// One piece of text the link label draws, in one font and colour.
struct THtmlRun {
    QString Text;
    QPoint Position; // top-left corner
    QFont Font;
    TColor Color = clBlack;
};

struct THtmlLink {
    QRect Area;
    QString Href;
};

struct THtmlLayoutResult {
    std::vector<THtmlRun> Runs;
    std::vector<THtmlLink> Links; // every closed link, in caption order
    QString Href;                 // link under the probe point; empty when none
    int MaxX = 0;                 // greatest x reached by any text run
    int Height = 0;
};

// One pass over the link label's small tag language ("a", "b", "br", "font",
// "i", "u"): where each text run goes and which link lies under a point.
// There is no wrapping; entities are taken literally.
class THtmlLayout {
public:
    static THtmlLayoutResult Run(const QString& caption, const QFont& font, TColor color, const QRect& area,
                                 std::optional<QPoint> probe = std::nullopt);

    static void Draw(QPainter& painter, const THtmlLayoutResult& layout);
};

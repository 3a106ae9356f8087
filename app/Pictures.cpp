#include "app/Pictures.h"

#include "framework/Fonts.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace Pictures {
namespace {

// The product's colours.
const QColor kInk(0x1F, 0x4E, 0x8C);
const QColor kSea(0x3A, 0x8E, 0xD0);
const QColor kRock(0x4A, 0x55, 0x60);
const QColor kArrow(0xF2, 0x8C, 0x28);
// The flags'.
const QColor kSpanishRed(0xAA, 0x15, 0x1B);
const QColor kSpanishYellow(0xF1, 0xBF, 0x00);
const QColor kUnionBlue(0x01, 0x21, 0x69);
const QColor kUnionRed(0xC8, 0x10, 0x2E);

QPixmap Blank(int width, int height, QColor fill = Qt::transparent, qreal ratio = 1)
{
    QPixmap pixmap(QSizeF(width * ratio, height * ratio).toSize());
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(fill);
    return pixmap;
}

// The mark: a rock in the sea with a downward arrow, the product's sign.
void DrawMark(QPainter& painter, QRectF box)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal w = box.width(), h = box.height();
    QPainterPath rock;
    rock.moveTo(box.left() + w * 0.08, box.top() + h * 0.78);
    rock.lineTo(box.left() + w * 0.35, box.top() + h * 0.30);
    rock.lineTo(box.left() + w * 0.52, box.top() + h * 0.48);
    rock.lineTo(box.left() + w * 0.68, box.top() + h * 0.22);
    rock.lineTo(box.left() + w * 0.94, box.top() + h * 0.78);
    rock.closeSubpath();
    painter.fillPath(rock, kRock);
    QRectF sea(box.left(), box.top() + h * 0.72, w, h * 0.28);
    QLinearGradient water(sea.topLeft(), sea.bottomLeft());
    water.setColorAt(0, kSea);
    water.setColorAt(1, kInk);
    painter.setPen(Qt::NoPen);
    painter.setBrush(water);
    painter.drawRoundedRect(sea, h * 0.06, h * 0.06);
    QPainterPath arrow;
    const qreal cx = box.left() + w * 0.5;
    arrow.moveTo(cx - w * 0.10, box.top() + h * 0.05);
    arrow.lineTo(cx + w * 0.10, box.top() + h * 0.05);
    arrow.lineTo(cx + w * 0.10, box.top() + h * 0.42);
    arrow.lineTo(cx + w * 0.22, box.top() + h * 0.42);
    arrow.lineTo(cx, box.top() + h * 0.68);
    arrow.lineTo(cx - w * 0.22, box.top() + h * 0.42);
    arrow.lineTo(cx - w * 0.10, box.top() + h * 0.42);
    arrow.closeSubpath();
    painter.fillPath(arrow, kArrow);
    painter.restore();
}

} // namespace

QPixmap Banner(qreal ratio)
{
    QPixmap banner = Blank(800, 80, Qt::white, ratio);
    QPainter painter(&banner);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    DrawMark(painter, QRectF(10, 4, 54, 44));
    QFont title = TahomaFont(QFont::Bold);
    title.setPixelSize(30);
    painter.setFont(title);
    painter.setPen(kInk);
    painter.drawText(QRectF(74, 2, 400, 36), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Skerrow"));
    QFont tagline = TahomaFont();
    tagline.setPixelSize(12);
    painter.setFont(tagline);
    painter.setPen(kRock);
    painter.drawText(QRectF(76, 34, 500, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Video saver"));
    QLinearGradient rule(0, 0, 800, 0);
    rule.setColorAt(0, kSea);
    rule.setColorAt(1, Qt::white);
    painter.fillRect(QRectF(0, 78, 800, 2), rule);
    return banner;
}

QPixmap SpanishFlag(qreal ratio)
{
    QPixmap flag = Blank(16, 11, Qt::transparent, ratio);
    QPainter painter(&flag);
    painter.fillRect(0, 0, 16, 3, kSpanishRed);
    painter.fillRect(0, 3, 16, 5, kSpanishYellow);
    painter.fillRect(0, 8, 16, 3, kSpanishRed);
    return flag;
}

QPixmap EnglishFlag(qreal ratio)
{
    QPixmap flag = Blank(16, 11, kUnionBlue, ratio);
    QPainter painter(&flag);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 3));
    painter.drawLine(QPointF(0, 0), QPointF(16, 11));
    painter.drawLine(QPointF(16, 0), QPointF(0, 11));
    painter.setPen(QPen(kUnionRed, 1));
    painter.drawLine(QPointF(0, 0), QPointF(16, 11));
    painter.drawLine(QPointF(16, 0), QPointF(0, 11));
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(6, 0, 4, 11, Qt::white);
    painter.fillRect(0, 4, 16, 3, Qt::white);
    painter.fillRect(7, 0, 2, 11, kUnionRed);
    painter.fillRect(0, 5, 16, 1, kUnionRed);
    return flag;
}

QPixmap HelpGlyph(qreal ratio)
{
    QPixmap glyph = Blank(16, 16, Qt::transparent, ratio);
    QPainter painter(&glyph);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient disc(QPointF(6, 5), 10);
    disc.setColorAt(0, kSea.lighter(130));
    disc.setColorAt(1, kInk);
    painter.setPen(Qt::NoPen);
    painter.setBrush(disc);
    painter.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    QFont mark = TahomaFont(QFont::Bold);
    mark.setPixelSize(12);
    painter.setFont(mark);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
    return glyph;
}

QPixmap AppIcon(int size)
{
    QPixmap icon = Blank(size, size);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92), s * 0.18, s * 0.18);
    DrawMark(painter, QRectF(s * 0.12, s * 0.12, s * 0.76, s * 0.76));
    return icon;
}

QIcon WindowIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 72})
        icon.addPixmap(AppIcon(size));
    return icon;
}

} // namespace Pictures

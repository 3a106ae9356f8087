#include "widgets/THtmlLayout.h"

#include "widgets/NamedColors.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int kMaxFontSize = 400; // points; larger "size" values are ignored
constexpr std::size_t kMaxNesting = 256;

// What an opening tag saves and its closing tag restores.
struct TFontState {
    QFont Font;
    TColor Color;
};

enum TTagPart { tpName, tpAttributeName, tpAttributeValue };

QString Unquoted(QString value)
{
    value.remove(QLatin1Char('"'));
    return value;
}

class TLayoutPass {
public:
    TLayoutPass(const QFont& font, TColor color, const QRect& area, std::optional<QPoint> probe)
        : current_{font, color}, area_(area), probe_(probe), x_(area.left() + 2), y_(area.top() + 1)
    {}

    THtmlLayoutResult Run(const QString& caption)
    {
        for (QChar c : caption) {
            if (inTag_)
                ReadTagCharacter(c);
            else if (c == u'<')
                StartTag();
            else
                pending_ += c;
        }
        FlushRun();
        result_.Height = QFontMetrics(current_.Font).height() + y_ - area_.top();
        return std::move(result_);
    }

private:
    void StartTag()
    {
        FlushRun();
        inTag_ = true;
        closing_ = false;
        quoted_ = false;
        valueRead_ = false;
        tagApplied_ = false;
        part_ = tpName;
        tagName_.clear();
        attributeName_.clear();
        attributeValue_.clear();
    }

    void ReadTagCharacter(QChar c)
    {
        if (c == u'"') {
            quoted_ = !quoted_;
            Extend(c);
        } else if (quoted_) {
            Extend(c);
        } else if (c == u'/') {
            closing_ = true;
        } else if (c == u' ') {
            Interpret();
            part_ = tpAttributeName;
            attributeName_.clear();
            attributeValue_.clear();
        } else if (c == u'=') {
            part_ = tpAttributeValue;
            attributeValue_.clear();
            valueRead_ = true;
        } else if (c == u'>') {
            Interpret();
            if (IsTag("a"))
                ProbeLink();
            inTag_ = false;
        } else {
            Extend(c);
        }
    }

    void Extend(QChar c)
    {
        switch (part_) {
        case tpName: tagName_ += c; break;
        case tpAttributeName: attributeName_ += c; break;
        case tpAttributeValue: attributeValue_ += c; break;
        }
    }

    bool IsTag(const char* name) const { return tagName_.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; }

    void Interpret()
    {
        if (valueRead_) {
            ApplyAttribute();
            valueRead_ = false;
        } else if (!tagApplied_) {
            // A tag takes effect once, however many blanks stand in it.
            ApplyTag();
            tagApplied_ = true;
        }
    }

    void ApplyAttribute()
    {
        const QString name = attributeName_.toLower();
        const QString value = Unquoted(attributeValue_);
        if (name == u"href" && IsTag("a")) {
            href_ = value;
            return;
        }
        if (!IsTag("font"))
            return;
        if (name == u"color") {
            current_.Color = ReadHtmlColor(value);
        } else if (name == u"name") {
            current_.Font.setFamily(value);
        } else if (name == u"size") {
            bool ok = false;
            const int size = value.toInt(&ok);
            if (ok && size > 0 && size <= kMaxFontSize)
                current_.Font.setPointSize(size);
        }
    }

    void ApplyTag()
    {
        if (IsTag("br")) {
            x_ = area_.left() + 2;
            y_ += lineHeight_;
            return;
        }
        if (!IsTag("a") && !IsTag("b") && !IsTag("font") && !IsTag("i") && !IsTag("u"))
            return;
        if (closing_) {
            if (!saved_.empty()) {
                current_ = saved_.back();
                saved_.pop_back();
            }
            return;
        }
        if (saved_.size() < kMaxNesting)
            saved_.push_back(current_);
        if (IsTag("a")) {
            current_.Font.setUnderline(true);
            current_.Color = clBlue;
            linkStart_ = QPoint(x_, y_);
        } else if (IsTag("b")) {
            current_.Font.setBold(true);
        } else if (IsTag("i")) {
            current_.Font.setItalic(true);
        } else if (IsTag("u")) {
            current_.Font.setUnderline(true);
        }
    }

    // At the ">" of an "a" tag the link's area so far meets the probe; the
    // closing tag also records the whole link.
    void ProbeLink()
    {
        const QRect link(linkStart_, QPoint(x_ - 1, y_ + lineHeight_ - 1));
        if (closing_ && !link.isEmpty())
            result_.Links.push_back({link, href_});
        if (probe_ && link.contains(*probe_))
            result_.Href = href_;
    }

    void FlushRun()
    {
        if (pending_.isEmpty())
            return;
        const QFontMetrics metrics(current_.Font);
        result_.Runs.push_back({pending_, QPoint(x_, y_), current_.Font, current_.Color});
        x_ += metrics.horizontalAdvance(pending_);
        result_.MaxX = std::max(result_.MaxX, x_);
        lineHeight_ = std::max(lineHeight_, metrics.height());
        pending_.clear();
    }

    TFontState current_;
    std::vector<TFontState> saved_;
    QRect area_;
    std::optional<QPoint> probe_;
    THtmlLayoutResult result_;
    int x_;
    int y_;
    int lineHeight_ = 0;
    QString pending_;
    bool inTag_ = false;
    bool closing_ = false;
    bool quoted_ = false;
    bool valueRead_ = false;
    bool tagApplied_ = false;
    TTagPart part_ = tpName;
    QString tagName_;
    QString attributeName_;
    QString attributeValue_;
    QString href_;
    QPoint linkStart_;
};

} // namespace

THtmlLayoutResult THtmlLayout::Run(const QString& caption, const QFont& font, TColor color, const QRect& area,
                                   std::optional<QPoint> probe)
{
    return TLayoutPass(font, color, area, probe).Run(caption);
}

void THtmlLayout::Draw(QPainter& painter, const THtmlLayoutResult& layout)
{
    for (const THtmlRun& run : layout.Runs) {
        const QColor color = ToQColor(run.Color);
        painter.setPen(color.isValid() ? color : QColor(Qt::black));
        painter.setFont(run.Font);
        painter.drawText(run.Position.x(), run.Position.y() + QFontMetrics(run.Font).ascent(), run.Text);
    }
}

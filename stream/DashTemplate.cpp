#include "stream/DashTemplate.h"

#include "runtime/AsciiText.h"

namespace {

// Widths beyond this are no template's but an attempt at a huge address.
constexpr int kWidest = 20;

std::string Padded(std::uint64_t number, int width)
{
    std::string digits = std::to_string(number);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, width - digits.size(), '0');
    return digits;
}

} // namespace

TDashTemplate::TDashTemplate(std::string_view text, TUse use, const std::string& representationId,
                             std::optional<std::int64_t> bandwidth, const TManifestPlace& place, const char* attribute)
    : use_(use), representationId_(representationId), bandwidth_(bandwidth), place_(place), attribute_(attribute),
      text_(text)
{
    while (!text.empty()) {
        const std::size_t open = text.find('$');
        AppendText(text.substr(0, open));
        if (open == std::string_view::npos)
            break;
        const std::size_t close = text.find('$', open + 1);
        if (close == std::string_view::npos)
            Fail();
        TPart part = Identifier(text.substr(open + 1, close - open - 1));
        if (part.Kind == pkText)
            AppendText(part.Text);
        else
            parts_.push_back(std::move(part));
        text.remove_prefix(close + 1);
    }
}

void TDashTemplate::AppendText(std::string_view text)
{
    if (parts_.empty() || parts_.back().Kind != pkText)
        parts_.push_back(TPart{});
    parts_.back().Text += text;
}

// What stands between two dollars: "" is a dollar; an identifier with a
// format ("Number%05d") is padded.
TDashTemplate::TPart TDashTemplate::Identifier(std::string_view identifier) const
{
    if (identifier.empty())
        return TPart{pkText, "$", 0};
    const std::size_t percent = identifier.find('%');
    const std::string_view name = identifier.substr(0, percent);
    int width = 0;
    if (percent != std::string_view::npos) {
        std::string_view format = identifier.substr(percent + 1);
        if (!format.ends_with('d') || (format.size() > 1 && !format.starts_with('0')))
            Fail();
        format = format.substr(0, format.size() - 1);
        std::optional<std::uint64_t> digits = format.empty() ? 0 : AsciiText::ParseUnsigned(format);
        if (!digits || *digits > kWidest)
            Fail();
        width = static_cast<int>(*digits);
    }
    if (name == "RepresentationID" && percent == std::string_view::npos)
        return TPart{pkText, representationId_, 0};
    if (name == "Bandwidth") {
        if (!bandwidth_)
            throw EStreamManifest(mkManifest, place_, "%s is missing", {"bandwidth"});
        return TPart{pkText, Padded(static_cast<std::uint64_t>(*bandwidth_), width), 0};
    }
    if (name == "Number" && use_ == tuSegments)
        return TPart{pkNumber, "", width};
    if (name == "Time" && use_ == tuSegments)
        return TPart{pkTime, "", width};
    Fail();
}

std::string TDashTemplate::Expand(std::uint64_t number, std::uint64_t time) const
{
    std::string address;
    for (const TPart& part : parts_) {
        switch (part.Kind) {
        case pkText: address += part.Text; break;
        case pkNumber: address += Padded(number, part.Width); break;
        case pkTime: address += Padded(time, part.Width); break;
        }
    }
    return address;
}

void TDashTemplate::Fail() const
{
    throw EStreamManifest(mkManifest, place_, "%s has an invalid value (%s)", {attribute_, Quoted(text_)});
}

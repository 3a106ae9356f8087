#include "stream/DashElement.h"

#include "runtime/AsciiText.h"
#include "stream/IsoDuration.h"
#include "stream/StreamLimits.h"
#include "stream/StreamNumbers.h"

std::optional<std::uint64_t> TDashElement::Whole(const char* attribute) const
{
    if (!Has(attribute))
        return std::nullopt;
    std::optional<std::uint64_t> number = ParseWholeNumber(AsciiText::Trim(Text(attribute)));
    if (!number)
        FailValue(attribute);
    return number;
}

std::optional<std::uint64_t> TDashElement::Positive(const char* attribute) const
{
    std::optional<std::uint64_t> number = Whole(attribute);
    if (number && *number == 0)
        FailValue(attribute);
    return number;
}

std::optional<double> TDashElement::Duration(const char* attribute) const
{
    if (!Has(attribute))
        return std::nullopt;
    std::optional<double> seconds = ParseIsoDuration(AsciiText::Trim(Text(attribute)));
    if (!seconds)
        FailValue(attribute);
    return seconds;
}

std::optional<TByteRange> TDashElement::Range(const char* attribute) const
{
    if (!Has(attribute))
        return std::nullopt;
    const std::string text = AsciiText::Trim(Text(attribute));
    const std::size_t dash = text.find('-');
    std::optional<std::uint64_t> first = AsciiText::ParseUnsigned(std::string_view(text).substr(0, dash));
    std::optional<std::uint64_t> last =
        dash == std::string::npos ? std::nullopt : AsciiText::ParseUnsigned(std::string_view(text).substr(dash + 1));
    if (!first || !last || *first > *last || *last >= kMaxWholeNumber)
        FailValue(attribute);
    return TByteRange{static_cast<std::int64_t>(*first), static_cast<std::int64_t>(*last - *first + 1)};
}

void TDashElement::Fail(const char* reason, std::vector<std::string> arguments) const
{
    throw EStreamManifest(mkManifest, place_, reason, std::move(arguments));
}

void TDashElement::FailValue(const char* attribute) const
{
    Fail("%s has an invalid value (%s)", {attribute, Quoted(Text(attribute))});
}

std::string_view LocalName(pugi::xml_node node)
{
    std::string_view name = node.name();
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node FirstChild(pugi::xml_node parent, std::string_view name)
{
    for (pugi::xml_node child : parent.children())
        if (child.type() == pugi::node_element && LocalName(child) == name)
            return child;
    return {};
}

std::vector<pugi::xml_node> Children(pugi::xml_node parent, std::string_view name)
{
    std::vector<pugi::xml_node> children;
    ForEachChild(parent, name, [&children](pugi::xml_node child) { children.push_back(child); });
    return children;
}

std::string ChildText(pugi::xml_node parent, std::string_view name)
{
    return AsciiText::Trim(FirstChild(parent, name).child_value());
}

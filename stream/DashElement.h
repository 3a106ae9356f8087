#pragma once

#include "stream/EStreamManifest.h"
#include "stream/StreamTypes.h"

#include <pugixml.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An element of a DASH manifest with the name its messages give it
// ("Representation v720", "SegmentTimeline of Representation v720"), and
// its attributes read as the manifest's types. Names are matched without
// any namespace prefix.
class TDashElement {
public:
    TDashElement(pugi::xml_node node, TManifestPlace place) : node_(node), place_(std::move(place)) {}

    pugi::xml_node Node() const { return node_; }
    const TManifestPlace& Place() const { return place_; }

    // The attribute as written; empty when absent.
    std::string Text(const char* attribute) const { return node_.attribute(attribute).value(); }
    bool Has(const char* attribute) const { return !node_.attribute(attribute).empty(); }

    // Typed attributes: nothing when absent; EStreamManifest when malformed.
    std::optional<std::uint64_t> Whole(const char* attribute) const;
    // A whole number of at least one.
    std::optional<std::uint64_t> Positive(const char* attribute) const;
    std::optional<double> Duration(const char* attribute) const;  // ISO 8601, in seconds
    std::optional<TByteRange> Range(const char* attribute) const; // "first-last", both included

    [[noreturn]] void Fail(const char* reason, std::vector<std::string> arguments = {}) const;
    [[noreturn]] void FailValue(const char* attribute) const;

private:
    pugi::xml_node node_;
    TManifestPlace place_;
};

// The element's name without its namespace prefix.
std::string_view LocalName(pugi::xml_node node);

// Calls visit(pugi::xml_node) for each child element of that name, in order.
template <class TVisit>
void ForEachChild(pugi::xml_node parent, std::string_view name, TVisit&& visit)
{
    for (pugi::xml_node child : parent.children())
        if (child.type() == pugi::node_element && LocalName(child) == name)
            visit(child);
}

// The first child of that name; an empty node when there is none.
pugi::xml_node FirstChild(pugi::xml_node parent, std::string_view name);
std::vector<pugi::xml_node> Children(pugi::xml_node parent, std::string_view name);
// The first child's text, trimmed; empty when there is none.
std::string ChildText(pugi::xml_node parent, std::string_view name);

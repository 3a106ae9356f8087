#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An element's attributes by name (lower case, as the parser gives them),
// their values with entities decoded.
using THtmlAttributes = std::map<std::string, std::string, std::less<>>;

// The value of an attribute, or "" when the element has none.
std::string AttributeOf(const THtmlAttributes& attributes, std::string_view name);

// A <video> element with the <source> elements it holds.
struct THtmlVideo {
    THtmlAttributes Attributes;
    std::vector<THtmlAttributes> Sources;
};

// What of a web page the search for its video reads, in document order.
struct THtmlPage {
    std::vector<THtmlAttributes> Metas;  // every <meta>
    std::optional<std::string> Title;    // the text of the first <title>
    std::optional<std::string> BaseHref; // of the first <base> with an href
    std::vector<THtmlVideo> Videos;
    std::vector<std::string> LinkedData; // each <script type="application/ld+json">
};

// Reads a page with an HTML5 parser, so that broken markup (unclosed or
// misnested tags) is read as a browser reads it. The text is taken as UTF-8.
// A page that nests too deep is read up to there (see MarkupBounds.h).
THtmlPage ReadHtmlPage(std::string_view html);

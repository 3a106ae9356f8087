#include "page/HtmlPage.h"

#include "page/MarkupBounds.h"
#include "runtime/AsciiText.h"

#include <gumbo.h>

#include <memory>
#include <span>

namespace {

using TGumboOutput = std::unique_ptr<GumboOutput, void (*)(GumboOutput*)>;

// The parser keeps a copy of its open elements with every parse error; the
// errors are of no use here, so none are kept.
const GumboOptions kOptions = [] {
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;
    return options;
}();

TGumboOutput Parse(std::string_view page)
{
    std::string_view html = BoundedMarkup(page);
    return TGumboOutput(gumbo_parse_with_options(&kOptions, html.data(), html.size()),
                        [](GumboOutput* output) { gumbo_destroy_output(&kOptions, output); });
}

std::span<GumboNode* const> Children(const GumboNode& node)
{
    const GumboVector& children = node.type == GUMBO_NODE_DOCUMENT ? node.v.document.children : node.v.element.children;
    return {reinterpret_cast<GumboNode* const*>(children.data), children.length};
}

bool IsHtmlElement(const GumboNode& node, GumboTag tag)
{
    return node.type == GUMBO_NODE_ELEMENT && node.v.element.tag == tag &&
        node.v.element.tag_namespace == GUMBO_NAMESPACE_HTML;
}

THtmlAttributes AttributesOf(const GumboNode& element)
{
    THtmlAttributes attributes;
    const GumboVector& list = element.v.element.attributes;
    for (unsigned i = 0; i < list.length; ++i) {
        const auto* attribute = static_cast<const GumboAttribute*>(list.data[i]);
        attributes.emplace(attribute->name, attribute->value);
    }
    return attributes;
}

// The text an element holds directly: a title's or a script's.
std::string TextOf(const GumboNode& element)
{
    std::string text;
    for (const GumboNode* child : Children(element))
        if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE || child->type == GUMBO_NODE_CDATA)
            text += child->v.text.text;
    return text;
}

THtmlVideo VideoOf(const GumboNode& element)
{
    THtmlVideo video{AttributesOf(element), {}};
    for (const GumboNode* child : Children(element))
        if (IsHtmlElement(*child, GUMBO_TAG_SOURCE))
            video.Sources.push_back(AttributesOf(*child));
    return video;
}

void Collect(const GumboNode& node, THtmlPage& page)
{
    if (IsHtmlElement(node, GUMBO_TAG_META)) {
        page.Metas.push_back(AttributesOf(node));
    } else if (IsHtmlElement(node, GUMBO_TAG_TITLE)) {
        if (!page.Title)
            page.Title = TextOf(node);
    } else if (IsHtmlElement(node, GUMBO_TAG_BASE)) {
        const GumboAttribute* href = gumbo_get_attribute(&node.v.element.attributes, "href");
        if (!page.BaseHref && href)
            page.BaseHref = href->value;
    } else if (IsHtmlElement(node, GUMBO_TAG_VIDEO)) {
        page.Videos.push_back(VideoOf(node));
    } else if (IsHtmlElement(node, GUMBO_TAG_SCRIPT)) {
        const GumboAttribute* type = gumbo_get_attribute(&node.v.element.attributes, "type");
        if (type && AsciiText::SameText(AsciiText::Trim(type->value), "application/ld+json"))
            page.LinkedData.push_back(TextOf(node));
    }
}

} // namespace

std::string AttributeOf(const THtmlAttributes& attributes, std::string_view name)
{
    auto found = attributes.find(name);
    return found == attributes.end() ? std::string() : found->second;
}

THtmlPage ReadHtmlPage(std::string_view html)
{
    TGumboOutput output = Parse(html);
    THtmlPage page;
    // Pages nest deeper than a call stack should: the walk keeps its own
    // stack, children pushed in reverse so that they come out in order.
    std::vector<const GumboNode*> pending{output->document};
    while (!pending.empty()) {
        const GumboNode* node = pending.back();
        pending.pop_back();
        Collect(*node, page);
        if (node->type != GUMBO_NODE_DOCUMENT && node->type != GUMBO_NODE_ELEMENT)
            continue; // text, comments, and a template's contents, which do not show
        std::span<GumboNode* const> children = Children(*node);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return page;
}

#include "page/MarkupBounds.h"

#include "runtime/AsciiText.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace {

constexpr std::string_view kNeedNoClosing[] = {
    // Void elements.
    "area", "base", "basefont", "bgsound", "br", "col", "embed", "frame", "hr", "img", "input", "keygen", "link",
    "meta", "param", "source", "track", "wbr",
    // Closed by what follows them.
    "body", "caption", "colgroup", "dd", "dt", "head", "html", "li", "optgroup", "option", "p", "rb", "rp", "rt", "rtc",
    "tbody", "td", "tfoot", "th", "thead", "tr"};

// Elements whose content is text up to their closing tag.
constexpr std::string_view kRawText[] = {"iframe", "noembed", "noframes", "noscript", "plaintext",
                                         "script", "style",   "textarea", "title",    "xmp"};

bool IsOneOf(std::string_view name, std::span<const std::string_view> names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// One tag as written, from its "<" up to past its ">".
struct TTag {
    std::string Name; // lower case
    bool Closing = false;
    bool SelfClosing = false;
    int Attributes = 0;
    std::size_t End = 0;
};

// Reads the tag at html[start] == '<', the page in lower case; nothing when
// the "<" opens none.
std::optional<TTag> ReadTag(std::string_view html, std::size_t start)
{
    TTag tag;
    std::size_t i = start + 1;
    tag.Closing = i < html.size() && html[i] == '/';
    i += tag.Closing;
    const std::size_t name = i;
    while (i < html.size() && std::isalnum(static_cast<unsigned char>(html[i])))
        ++i;
    tag.Name = html.substr(name, i - name);
    if (tag.Name.empty() || !std::isalpha(static_cast<unsigned char>(tag.Name[0])))
        return std::nullopt;
    bool inName = false;
    while (i < html.size() && html[i] != '>') {
        const char c = html[i++];
        if (c == '=') {
            while (i < html.size() && IsBlank(html[i]))
                ++i;
            if (i < html.size() && (html[i] == '"' || html[i] == '\''))
                i = std::min(html.find(html[i], i + 1), html.size() - 1) + 1;
            inName = false;
        } else if (IsBlank(c) || c == '/') {
            inName = false;
        } else if (!inName) {
            inName = true;
            ++tag.Attributes;
        }
    }
    tag.SelfClosing = i > start + 1 && html[i - 1] == '/';
    tag.End = std::min(i + 1, html.size());
    return tag;
}

} // namespace

std::string_view BoundedMarkup(std::string_view html)
{
    const std::string lower = AsciiText::LowerCase(html);
    // The elements open at this point, as a parser would have them.
    std::vector<std::string> open;
    int elements = 0;
    for (std::size_t i = lower.find('<'); i < lower.size(); i = lower.find('<', i)) {
        if (lower.compare(i, 4, "<!--") == 0) {
            i = lower.find("-->", i + 4);
            i = i == std::string::npos ? lower.size() : i + 3;
            continue;
        }
        std::optional<TTag> tag = ReadTag(lower, i);
        if (!tag) {
            ++i; // a "<" in text, or a declaration
            continue;
        }
        if (tag->Attributes > kMostAttributes || (!tag->Closing && ++elements > kMostElements))
            return html.substr(0, i);
        if (tag->Closing) {
            // A closing tag closes what was opened inside its element too.
            auto element = std::find(open.rbegin(), open.rend(), tag->Name);
            if (element != open.rend())
                open.erase(std::prev(element.base()), open.end());
        } else if (!tag->SelfClosing && !IsOneOf(tag->Name, kNeedNoClosing)) {
            if (open.size() == static_cast<std::size_t>(kDeepestNesting))
                return html.substr(0, i);
            open.push_back(tag->Name);
        }
        i = tag->End;
        if (!tag->Closing && IsOneOf(tag->Name, kRawText))
            i = std::min(lower.find("</" + tag->Name, i), lower.size());
    }
    return html;
}

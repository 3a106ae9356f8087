#include "http/TIdNetscapeCookie.h"

#include "http/HttpDate.h"
#include "runtime/AsciiText.h"

namespace {

// "a=1; path=/; secure" -> "a=1", "path=/", "secure". Parts between two ";"
// are kept even when empty; a text without ";" is one item, untrimmed.
std::vector<std::string> SplitItems(const std::string& text)
{
    std::vector<std::string> items;
    std::string rest = text;
    if (rest.find(';') == std::string::npos)
        return {rest};
    std::size_t semicolon;
    while ((semicolon = rest.find(';')) != std::string::npos) {
        items.push_back(AsciiText::Trim(std::string_view(rest).substr(0, semicolon)));
        rest.erase(0, semicolon + 1);
    }
    std::string last = AsciiText::Trim(rest);
    if (!last.empty())
        items.push_back(last);
    return items;
}

std::string NormaliseItem(const std::string& item)
{
    std::size_t equals = item.find('=');
    if (equals == std::string::npos)
        return AsciiText::UpperCase(item);
    return AsciiText::UpperCase(std::string_view(item).substr(0, equals)) + item.substr(equals);
}

std::string StripOuterQuotes(std::string text)
{
    if (!text.empty() && text.front() == '"')
        text.erase(0, 1);
    if (!text.empty() && text.back() == '"')
        text.pop_back();
    return text;
}

} // namespace

void TIdNetscapeCookie::ParseCookieText(const std::string& text)
{
    if (text == lastParsedText_)
        return;
    lastParsedText_ = text;

    std::vector<std::string> items = SplitItems(text);
    const std::string& first = items.front();
    std::size_t equals = first.find('=');
    cookieName_ = first.substr(0, equals);
    cookieValue_ = equals == std::string::npos ? std::string() : first.substr(equals + 1);

    TAttributeItems attributes;
    for (std::size_t i = 1; i < items.size(); ++i)
        attributes.push_back(NormaliseItem(items[i]));
    LoadAttributes(attributes);
}

void TIdNetscapeCookie::LoadAttributes(const TAttributeItems& items)
{
    cookiePath_ = StripOuterQuotes(AttributeValue(items, "PATH"));
    if (cookiePath_.empty())
        cookiePath_ = "/";
    expiryText_ = AttributeValue(items, "EXPIRES");
    cookieDomain_ = AttributeValue(items, "DOMAIN");
    secureOnly_ = HasFlag(items, "SECURE");
}

bool TIdNetscapeCookie::FindAttribute(const TAttributeItems& items, const std::string& name, std::string& value)
{
    const std::string prefix = name + "=";
    for (const std::string& item : items) {
        if (item.compare(0, prefix.size(), prefix) == 0) {
            value = item.substr(prefix.size());
            return true;
        }
    }
    return false;
}

std::string TIdNetscapeCookie::AttributeValue(const TAttributeItems& items, const std::string& name)
{
    std::string value;
    FindAttribute(items, name, value);
    return value;
}

bool TIdNetscapeCookie::HasFlag(const TAttributeItems& items, const std::string& flag)
{
    for (const std::string& item : items)
        if (item == flag)
            return true;
    return false;
}

void TIdNetscapeCookie::AppendAttribute(std::string& text, const std::string& name, const std::string& value)
{
    if (!value.empty())
        text += "; " + name + "=" + value;
}

std::string TIdNetscapeCookie::ServerForm() const
{
    std::string text = ClientForm();
    AppendAttribute(text, "path", cookiePath_);
    if (cookieKind_ == ckNetscape)
        AppendAttribute(text, "expires", expiryText_);
    AppendAttribute(text, "domain", cookieDomain_);
    if (secureOnly_)
        text += "; secure";
    return text;
}

bool TIdNetscapeCookie::IsExpired(std::int64_t nowUtcSeconds) const
{
    if (expiryText_.empty())
        return false;
    auto expiry = ParseHttpDate(expiryText_);
    return expiry && *expiry <= nowUtcSeconds;
}

#include "http/TIdCookieRFC2109.h"

#include "http/HttpDate.h"
#include "runtime/AsciiText.h"

#include <algorithm>

namespace {

// Far enough for any real cookie, and keeps now + max-age from overflowing.
constexpr std::int64_t kLongestMaxAge = std::int64_t(1) << 36;

} // namespace

void TIdCookieRFC2109::LoadAttributes(const TAttributeItems& items)
{
    TIdNetscapeCookie::LoadAttributes(items);
    maxAgeSeconds_ = AsciiText::ToInt64(AttributeValue(items, "MAX-AGE")).value_or(-1);
    versionText_ = AttributeValue(items, "VERSION");
    commentText_ = AttributeValue(items, "COMMENT");
    if (ExpiryText().empty()) {
        cookieKind_ = ckNetscape;
        if (maxAgeSeconds_ >= 0)
            SetExpiryText(FormatHttpDate(NowUtcSeconds() + std::min(maxAgeSeconds_, kLongestMaxAge)));
    }
}

std::string TIdCookieRFC2109::ServerForm() const
{
    std::string text = TIdNetscapeCookie::ServerForm();
    if (maxAgeSeconds_ >= 0 && ExpiryText().empty())
        AppendAttribute(text, "max-age", std::to_string(maxAgeSeconds_));
    AppendAttribute(text, "comment", commentText_);
    AppendAttribute(text, "version", versionText_);
    return text;
}

#include "app/AddressKind.h"

#include "app/DirectLink.h"
#include "app/Site.h"
#include "app/VideoAddress.h"

namespace {

// The site's own rule for a watch page.
bool IsWatchPageAddress(const std::function<std::string()>& readText)
{
    auto holds = [&readText](const std::string& part) { return readText().find(part) != std::string::npos; };
    return holds(Site::Domain()) && (holds("v=") || holds("key="));
}

} // namespace

// Each test reads the text afresh.
TAddressKind AddressKind(const std::function<std::string()>& readText)
{
    if (IsWatchPageAddress(readText))
        return akWatchPage;
    if (std::optional<TWebAddress> address = TWebAddress::ParseWeb(readText()); address && IsDirectLink(*address))
        return akDirectLink;
    if (TWebAddress::ParseWeb(readText()))
        return akWebPage;
    return akNone;
}

TVideoAddress ReadVideoAddress(const std::string& text)
{
    std::optional<TWebAddress> address = TWebAddress::ParseWeb(text);
    if (IsWatchPageAddress([&text] { return text; }))
        return {akWatchPage, text, address};
    if (!address)
        return {akNone, text, std::nullopt};
    return {IsDirectLink(*address) ? akDirectLink : akWebPage, text, address};
}

bool TakenFromClipboard(TAddressKind kind)
{
    return kind == akWatchPage || kind == akDirectLink;
}

TAddressKind AddressKind(const std::string& text)
{
    return ReadVideoAddress(text).Kind;
}

#include "app/AddressKind.h"

#include "app/DirectLink.h"
#include "app/Site.h"
#include "page/WebAddress.h"

namespace {

// The site's own rule for a watch page.
bool IsWatchPageAddress(const std::function<std::string()>& readText)
{
    auto holds = [&readText](const std::string& part) { return readText().find(part) != std::string::npos; };
    return holds(Site::Domain()) && (holds("v=") || holds("key="));
}

} // namespace

TAddressKind AddressKind(const std::function<std::string()>& readText)
{
    if (IsWatchPageAddress(readText))
        return akWatchPage;
    if (IsDirectLink(readText()))
        return akDirectLink;
    if (IsWebAddress(readText()))
        return akWebPage;
    return akNone;
}

bool TakenFromClipboard(TAddressKind kind)
{
    return kind == akWatchPage || kind == akDirectLink;
}

TAddressKind AddressKind(const std::string& text)
{
    return AddressKind([&text] { return text; });
}

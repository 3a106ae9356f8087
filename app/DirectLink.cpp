#include "app/DirectLink.h"

#include "app/VideoLink.h"
#include "http/TIdURI.h"
#include "page/VideoTypes.h"
#include "page/WebAddress.h"

#include <string_view>

namespace {

// The last segment of an address's path; empty for any other text.
std::string_view LastSegment(std::string_view address)
{
    std::optional<TWebAddressParts> parts = SplitWebAddress(address);
    std::string_view path = parts ? parts->Path : std::string_view();
    return path.substr(path.rfind('/') + 1);
}

} // namespace

bool IsDirectLink(const std::string& text)
{
    std::optional<TWebAddressParts> parts = SplitWebAddress(text);
    return parts && IsWebAddress(text) && !parts->Path.empty() && !VideoExtensionOf(parts->Path).empty();
}

std::string FileTitleOf(const std::string& address)
{
    std::string_view segment = LastSegment(address);
    // The extension stays as written; only the name before it is decoded.
    segment.remove_suffix(VideoExtensionOf(segment).size());
    // Decoding can bring back any byte; the safe name keeps no control byte.
    return SafeFileName(TIdURI::PercentDecode(std::string(segment)));
}

std::string DirectLinkFileName(const std::string& address)
{
    return FileTitleOf(address) + std::string(VideoExtensionOf(LastSegment(address)));
}

#include "app/DirectLink.h"

#include "app/VideoLink.h"
#include "http/TIdURI.h"
#include "page/VideoTypes.h"

#include <string_view>

namespace {

std::string_view LastSegment(const TWebAddress& address)
{
    std::string_view path = address.Path();
    return path.substr(path.rfind('/') + 1);
}

} // namespace

bool IsDirectLink(const TWebAddress& address)
{
    return address.IsWeb() && (!VideoExtensionOf(address.Path()).empty() || IsPiecesPath(address.Path()));
}

std::string FileTitleOf(const TWebAddress& address)
{
    std::string_view segment = LastSegment(address);
    // The extension stays as written; only the name before it is decoded.
    segment.remove_suffix(VideoExtensionOf(segment).size() + PiecesExtensionOf(segment).size());
    // Decoding can bring back any byte; the safe name keeps no control byte.
    return SafeFileName(TIdURI::PercentDecode(std::string(segment)));
}

std::string DirectLinkFileName(const TWebAddress& address)
{
    return FileTitleOf(address) + std::string(VideoExtensionOf(LastSegment(address)));
}

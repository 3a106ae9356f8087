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
    std::string stem = TIdURI::PercentDecode(std::string(segment));
    // Decoding can bring back any byte; no control byte stays in a name.
    for (char& c : stem)
        if (static_cast<unsigned char>(c) < ' ' || c == '\x7f')
            c = '_';
    stem = SafeFileName(stem);
    return stem.empty() ? "video" : stem;
}

std::string DirectLinkFileName(const std::string& address)
{
    return FileTitleOf(address) + std::string(VideoExtensionOf(LastSegment(address)));
}

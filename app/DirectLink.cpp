#include "app/DirectLink.h"

#include "app/VideoLink.h"
#include "http/TIdURI.h"
#include "runtime/AsciiText.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace {

const char* const kVideoExtensions[] = {".mp4", ".m4v", ".webm", ".mkv", ".mov", ".flv", ".3gp", ".ogv", ".avi"};

// The path of an http or https address, without its query and fragment;
// nothing for any other text.
std::optional<std::string_view> PathOf(std::string_view address)
{
    for (std::string_view scheme : {"http://", "https://"}) {
        if (!AsciiText::StartsWithText(address, scheme))
            continue;
        std::string_view rest = address.substr(scheme.size());
        std::size_t pathStart = rest.find_first_of("/?#");
        if (pathStart == 0 || pathStart == std::string_view::npos || rest[pathStart] != '/')
            return std::nullopt; // no host, or no path
        rest.remove_prefix(pathStart);
        return rest.substr(0, rest.find_first_of("?#"));
    }
    return std::nullopt;
}

// The video extension the path ends with, or none.
std::string_view VideoExtensionOf(std::string_view path)
{
    const std::string lower = AsciiText::LowerCase(path);
    for (std::string_view extension : kVideoExtensions)
        if (AsciiText::EndsWith(lower, extension))
            return extension;
    return {};
}

bool HasNoBlanksOrControls(std::string_view text)
{
    return std::none_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) <= ' ' || c == '\x7f';
    });
}

} // namespace

bool IsDirectLink(const std::string& text)
{
    std::optional<std::string_view> path = PathOf(text);
    return path && HasNoBlanksOrControls(text) && !VideoExtensionOf(*path).empty();
}

std::string DirectLinkFileName(const std::string& address)
{
    std::string_view path = PathOf(address).value_or("");
    std::string_view segment = path.substr(path.rfind('/') + 1);
    // The extension stays as written; only the name before it is decoded.
    std::string_view extension = segment.substr(segment.size() - VideoExtensionOf(segment).size());
    // Decoding can bring back any byte; the safe name keeps no control byte.
    std::string stem = TIdURI::PercentDecode(std::string(segment.substr(0, segment.size() - extension.size())));
    return SafeFileName(stem) + std::string(extension);
}

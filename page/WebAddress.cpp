#include "page/WebAddress.h"

#include "runtime/AsciiText.h"

#include <algorithm>
#include <cctype>

namespace {

bool IsBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= ' ' || c == '\x7f';
}

// Splits what follows the authority into path, query and fragment.
void SplitPathQueryFragment(std::string_view rest, TWebAddressParts& parts)
{
    std::size_t fragment = std::min(rest.find('#'), rest.size());
    parts.Fragment = rest.substr(fragment);
    rest = rest.substr(0, fragment);
    std::size_t query = std::min(rest.find('?'), rest.size());
    parts.Query = rest.substr(query);
    parts.Path = rest.substr(0, query);
}

// Whether a reference starts with a scheme of its own ("mailto:", "data:").
bool HasScheme(std::string_view reference)
{
    std::size_t colon = reference.find(':');
    if (colon == std::string_view::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(reference[0])))
        return false;
    return std::all_of(reference.begin(), reference.begin() + colon, [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    });
}

std::string Clean(std::string_view reference)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string trimmed = AsciiText::Trim(reference);
    std::string clean;
    for (char c : trimmed) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\t' || c == '\n' || c == '\r')
            continue;
        if (IsBlankOrControl(c) || byte >= 0x80 || c == '"' || c == '<' || c == '>') {
            clean += '%';
            clean += kHex[byte >> 4];
            clean += kHex[byte & 15];
        } else {
            clean += c;
        }
    }
    return clean;
}

// "." and ".." segments taken out of a path, as RFC 3986 (5.2.4) does.
std::string RemoveDotSegments(std::string_view path)
{
    std::string output;
    while (!path.empty()) {
        if (path.starts_with("../"))
            path.remove_prefix(3);
        else if (path.starts_with("./"))
            path.remove_prefix(2);
        else if (path.starts_with("/./"))
            path.remove_prefix(2);
        else if (path == "/.")
            path = "/";
        else if (path.starts_with("/../") || path == "/..") {
            path = path.size() == 3 ? std::string_view("/") : path.substr(3);
            output.erase(std::min(output.rfind('/'), output.size()));
        } else if (path == "." || path == "..")
            path = {};
        else {
            std::size_t next = path.find('/', 1);
            next = std::min(next, path.size());
            output += path.substr(0, next);
            path.remove_prefix(next);
        }
    }
    return output;
}

// The base's path with its last segment replaced by a relative path.
std::string MergePaths(const TWebAddressParts& base, std::string_view relative)
{
    if (base.Path.empty())
        return "/" + std::string(relative);
    return std::string(base.Path.substr(0, base.Path.rfind('/') + 1)) + std::string(relative);
}

} // namespace

std::optional<TWebAddressParts> SplitWebAddress(std::string_view text)
{
    for (std::string_view scheme : {"http://", "https://"}) {
        if (!AsciiText::StartsWithText(text, scheme))
            continue;
        TWebAddressParts parts;
        parts.Scheme = text.substr(0, scheme.size() - 3);
        std::string_view rest = text.substr(scheme.size());
        std::size_t authorityEnd = std::min(rest.find_first_of("/?#"), rest.size());
        if (authorityEnd == 0)
            return std::nullopt;
        parts.Authority = rest.substr(0, authorityEnd);
        SplitPathQueryFragment(rest.substr(authorityEnd), parts);
        return parts;
    }
    return std::nullopt;
}

bool IsWebAddress(std::string_view text)
{
    return SplitWebAddress(text) && std::none_of(text.begin(), text.end(), IsBlankOrControl);
}

std::string RequestedAddress(const TWebAddressParts& address)
{
    return std::string(address.Scheme) + "://" + std::string(address.Authority) +
        (address.Path.empty() ? "/" : std::string(address.Path)) + std::string(address.Query);
}

std::string ResolveReference(std::string_view baseAddress, std::string_view reference)
{
    std::string clean = Clean(reference);
    std::optional<TWebAddressParts> base = SplitWebAddress(baseAddress);
    if (HasScheme(clean) || !base)
        return clean;
    std::string scheme(base->Scheme);
    if (clean.starts_with("//"))
        return scheme + ":" + clean;

    TWebAddressParts ref;
    SplitPathQueryFragment(clean, ref);
    std::string path;
    std::string_view query = ref.Query;
    if (ref.Path.empty()) {
        path = base->Path;
        if (query.empty())
            query = base->Query;
    } else if (ref.Path.front() == '/') {
        path = RemoveDotSegments(ref.Path);
    } else {
        path = RemoveDotSegments(MergePaths(*base, ref.Path));
    }
    return scheme + "://" + std::string(base->Authority) + path + std::string(query) + std::string(ref.Fragment);
}

#include "page/ReferenceResolution.h"

#include "http/TWebAddress.h"
#include "runtime/AsciiText.h"

#include <algorithm>
#include <cctype>

namespace {

bool IsBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= ' ' || c == '\x7f';
}

// A relative reference cut into path, query and fragment.
struct TReferenceParts {
    std::string_view Path;     // "" or up to the "?" or "#"
    std::string_view Query;    // "" or from the "?" on
    std::string_view Fragment; // "" or from the "#" on
};

TReferenceParts SplitReference(std::string_view reference)
{
    TReferenceParts parts;
    std::size_t fragment = std::min(reference.find('#'), reference.size());
    parts.Fragment = reference.substr(fragment);
    reference = reference.substr(0, fragment);
    std::size_t query = std::min(reference.find('?'), reference.size());
    parts.Query = reference.substr(query);
    parts.Path = reference.substr(0, query);
    return parts;
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
std::string MergePaths(const TWebAddress& base, std::string_view relative)
{
    if (base.Path().empty())
        return "/" + std::string(relative);
    return base.Path().substr(0, base.Path().rfind('/') + 1) + std::string(relative);
}

} // namespace

std::string ResolveReference(std::string_view baseAddress, std::string_view reference)
{
    std::string clean = Clean(reference);
    std::optional<TWebAddress> base = TWebAddress::Parse(baseAddress);
    if (HasScheme(clean) || !base || (base->Scheme() != "http" && base->Scheme() != "https"))
        return clean;
    if (clean.starts_with("//"))
        return base->Scheme() + ":" + clean;

    TReferenceParts ref = SplitReference(clean);
    std::string path;
    std::string query(ref.Query);
    if (ref.Path.empty()) {
        path = base->Path();
        if (query.empty())
            query = base->Query();
    } else if (ref.Path.front() == '/') {
        path = RemoveDotSegments(ref.Path);
    } else {
        path = RemoveDotSegments(MergePaths(*base, ref.Path));
    }
    return base->WithTarget(path + query).Text() + std::string(ref.Fragment);
}

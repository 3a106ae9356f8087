// Parses, composes and decodes arbitrary addresses and merges arbitrary paths,
// checking the properties that must hold for every input.
#include "http/TIdURI.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void ParseAndCompose(const std::string& address)
{
    TIdURI uri(address);
    Check(uri.Password().empty() || !uri.Username().empty());
    Check(uri.Scheme().empty() || uri.Directory().rfind('/', 0) == 0);
    try {
        std::string full = uri.ComposeAddress();
        std::string shown = uri.AddressText();
        Check(shown.size() <= full.size());
        // The request target is carried over whole.
        Check(full.find(uri.Directory() + uri.DocumentName() + uri.Query()) != std::string::npos);
    } catch (const EIdURIException&) {
        Check(uri.Scheme().empty() || uri.Host().empty());
    }
}

void Decode(const std::string& text)
{
    std::string decoded = TIdURI::PercentDecode(text);
    Check(decoded.size() <= text.size());
    if (text.find('%') == std::string::npos)
        Check(decoded == text);
}

void Merge(const std::string& base, const std::string& path)
{
    std::string merged = MergePath(base, path, '/');
    if (!path.empty() && path[0] == '/')
        Check(merged == path);
    else
        Check(merged.find("//") == std::string::npos);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string input(reinterpret_cast<const char*>(data), size);
    ParseAndCompose(input);
    Decode(input);
    // The first zero byte, if any, separates a base path from a new one.
    auto split = input.find('\0');
    if (split != std::string::npos)
        Merge(input.substr(0, split), input.substr(split + 1));
    else
        Merge("/a/b/", input);
    return 0;
}

#pragma once

#include <optional>
#include <string>
#include <string_view>

// The http and https addresses that users paste and pages refer to.

// An address cut into its parts, each a view into the address's text.
struct TWebAddressParts {
    std::string_view Scheme;    // "http" or "https", in any letter case
    std::string_view Authority; // the host with any user and port; never empty
    std::string_view Path;      // "" or from the first "/" on
    std::string_view Query;     // "" or from the "?" on
    std::string_view Fragment;  // "" or from the "#" on
};

// The parts of an http or https address that names a host; nothing for any
// other text.
std::optional<TWebAddressParts> SplitWebAddress(std::string_view text);

// An http or https address that names a host and holds no blanks or
// control characters.
bool IsWebAddress(std::string_view text);

// What of a web address is requested: without its fragment, and with the
// path "/" when it has none ("https://example.org?q" asks for "/?q").
std::string RequestedAddress(const TWebAddressParts& address);

// The address a reference in a page leads to, read against the base address
// as a browser reads it (RFC 3986): blanks and control bytes at either end
// are dropped, tabs and line breaks inside too, and what is left that an
// address cannot hold (blanks, controls, bytes beyond ASCII) is
// percent-encoded. A reference with a scheme of its own stands alone; one
// against a base that is no web address is returned cleaned only.
std::string ResolveReference(std::string_view base, std::string_view reference);

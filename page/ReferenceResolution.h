#pragma once

#include <string>
#include <string_view>

// The address a reference in a page leads to, read against the base address
// as a browser reads it (RFC 3986): blanks and control bytes at either end
// are dropped, tabs and line breaks inside too, and what is left that an
// address cannot hold (blanks, controls, bytes beyond ASCII) is
// percent-encoded. A reference with a scheme of its own stands alone; one
// against a base that is no web address is returned cleaned only.
std::string ResolveReference(std::string_view base, std::string_view reference);

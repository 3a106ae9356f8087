#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The text cut to at most limit bytes, at the start of a UTF-8 character so
// that no character is left in halves.
std::string BoundedText(std::string_view text, std::size_t limit);

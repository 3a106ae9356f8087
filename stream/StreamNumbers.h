#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Numbers as playlists and manifests write them. Both are lenient where
// servers are sloppy and strict where a value would be absurd.

// A whole number of at most kMaxWholeNumber. Manifests sometimes write one
// with decimals ("2000000.0"); such a number is rounded. Nothing for a sign,
// blanks, other text or a larger value.
std::optional<std::uint64_t> ParseWholeNumber(std::string_view text);

// A duration in seconds such as "9.009" or "10": finite, not negative and
// at most kMaxSeconds. Nothing otherwise.
std::optional<double> ParseSeconds(std::string_view text);

#pragma once

#include <cstddef>
#include <string>

// A body of a little over 5 MiB whose bytes differ from place to place, so
// that a lost, doubled or misplaced piece shows.
constexpr std::size_t kLargeBodySize = 5 * 1024 * 1024 + 17;

inline std::string LargeBody()
{
    std::string large(kLargeBodySize, '\0');
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 7 + i / 251);
    return large;
}

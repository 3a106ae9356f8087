#pragma once

#include <chrono>
#include <cstdint>

// Milliseconds on a monotonic clock, wrapping like a 32-bit counter.
inline std::uint32_t GetTickCount()
{
    using namespace std::chrono;
    auto now = duration_cast<milliseconds>(steady_clock::now().time_since_epoch());
    return static_cast<std::uint32_t>(now.count());
}

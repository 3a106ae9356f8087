#pragma once

#include "grabber/internet/InternetApi.h"

#include <cstdint>

// Limits how long the layer waits for bytes, for the tests that stall; the
// layer's own minute comes back at the end.
struct ShortReceiveTimeout {
    explicit ShortReceiveTimeout(std::uint32_t ms) { Set(ms); }
    ~ShortReceiveTimeout() { Set(60000); }
    static void Set(std::uint32_t ms) { InternetSetOption(nullptr, INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof ms); }
};

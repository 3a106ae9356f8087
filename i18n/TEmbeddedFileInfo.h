#pragma once

#include <cstdint>

// Where one appended file lies inside the executable.
struct TEmbeddedFileInfo {
    std::int64_t Offset = 0;
    std::int64_t Size = 0;
};

#pragma once

#include "support/FileBytes.h"

#include <string>

// Bodies that show a misplaced or repeated chunk, for the grabber tests.
inline std::string Body(std::size_t size)
{
    std::string body(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        body[i] = static_cast<char>('a' + (i * 7 + i / 1025) % 26);
    return body;
}

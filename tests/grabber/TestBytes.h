#pragma once

#include "support/ScratchFolder.h"

#include <cstdint>
#include <fstream>
#include <random>
#include <string>

// Bodies that show a misplaced or repeated chunk, and files written whole,
// for the grabber tests.
inline std::string Body(std::size_t size)
{
    std::string body(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        body[i] = static_cast<char>('a' + (i * 7 + i / 1025) % 26);
    return body;
}

// Bytes in which any span out of place shows, however far it moved: for
// files written in ranges.
inline std::string RandomBody(std::size_t size, std::uint32_t seed = 1)
{
    std::mt19937 random(seed);
    std::string body(size, '\0');
    for (char& byte : body)
        byte = static_cast<char>(random());
    return body;
}

inline void WriteFile(const std::string& name, const std::string& bytes)
{
    std::ofstream(name, std::ios::binary) << bytes;
}

#pragma once

#include <fstream>
#include <sstream>
#include <string>

// Bodies that show a misplaced or repeated chunk, and whole-file reads and
// writes, for the grabber tests.
inline std::string Body(std::size_t size)
{
    std::string body(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        body[i] = static_cast<char>('a' + (i * 7 + i / 1025) % 26);
    return body;
}

inline std::string ReadFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

inline void WriteFile(const std::string& name, const std::string& bytes)
{
    std::ofstream(name, std::ios::binary) << bytes;
}

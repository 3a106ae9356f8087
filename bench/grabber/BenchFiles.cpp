#include "BenchFiles.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <random>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBlock = std::size_t(1) << 20;

} // namespace

void WriteRandomFile(const fs::path& path, long mib)
{
    std::mt19937_64 random(static_cast<std::uint64_t>(mib) * 7919);
    std::vector<std::uint64_t> block(kBlock / sizeof(std::uint64_t));
    std::ofstream out(path, std::ios::binary);
    for (long i = 0; i < mib; ++i) {
        for (std::uint64_t& word : block)
            word = random();
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(kBlock));
    }
}

bool SameBytes(const fs::path& a, const fs::path& b)
{
    if (!fs::exists(b) || fs::file_size(a) != fs::file_size(b))
        return false;
    std::ifstream left(a, std::ios::binary), right(b, std::ios::binary);
    std::vector<char> x(kBlock), y(kBlock);
    while (left) {
        left.read(x.data(), static_cast<std::streamsize>(x.size()));
        right.read(y.data(), static_cast<std::streamsize>(y.size()));
        if (left.gcount() != right.gcount() || std::memcmp(x.data(), y.data(), static_cast<std::size_t>(left.gcount())))
            return false;
    }
    return true;
}

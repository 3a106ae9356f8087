#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <string_view>

namespace regexpr {

// A set of the 256 byte values, stored as the CHAR_SET bitmap is: bit c%8 of
// byte c/8 stands for character c.
struct ByteSet {
    std::array<uint8_t, 32> bits{};

    bool Has(uint8_t c) const { return (bits[c >> 3] >> (c & 7)) & 1; }
    void Add(uint8_t c) { bits[c >> 3] |= uint8_t(1u << (c & 7)); }
    void AddChars(std::string_view chars)
    {
        for (char c : chars)
            Add(static_cast<uint8_t>(c));
    }
    void AddAll() { bits.fill(0xFF); }
    void Merge(const uint8_t* bitmap)
    {
        for (int i = 0; i < 32; ++i)
            bits[i] |= bitmap[i];
    }
    void Complement()
    {
        for (auto& byte : bits)
            byte = uint8_t(~byte);
    }
    int Count() const
    {
        int count = 0;
        for (auto byte : bits)
            count += std::popcount(byte);
        return count;
    }
    bool operator==(const ByteSet&) const = default;
};

} // namespace regexpr

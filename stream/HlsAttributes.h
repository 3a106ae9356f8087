#pragma once

#include "stream/HlsLine.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The attribute list of a tag: NAME=VALUE pairs separated by commas, a
// value being a quoted string (which may hold commas), a hexadecimal
// sequence, a number, a resolution or an enumerated word. The values are
// views into the playlist's text.
class THlsAttributes {
public:
    // Raises EStreamManifest naming the line when the list is broken (a
    // pair without "=", a quote left open).
    explicit THlsAttributes(const THlsLine& tag);

    bool Has(std::string_view name) const { return Find(name) != nullptr; }
    // The value, without its quotes; empty when absent.
    std::string Text(std::string_view name) const;

    // Typed values: nothing when absent; EStreamManifest when malformed.
    std::optional<std::uint64_t> Whole(std::string_view name) const;
    std::optional<std::pair<int, int>> Resolution(std::string_view name) const;       // "1280x720"
    std::optional<std::array<unsigned char, 16>> Hex128(std::string_view name) const; // "0x..."
    bool Yes(std::string_view name) const { return Text(name) == "YES"; }

    // The tag's line, for the faults its values show.
    const THlsLine& Tag() const { return tag_; }

private:
    const std::string_view* Find(std::string_view name) const;

    THlsLine tag_;
    std::vector<std::pair<std::string_view, std::string_view>> pairs_;
};

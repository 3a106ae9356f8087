#pragma once

#include <cstddef>
#include <cstdint>

// The bounds on what a playlist or manifest may ask for. Anything beyond
// them is refused with a message, before it costs memory or time.

// The largest playlist or manifest read.
inline constexpr std::size_t kMaxManifestBytes = 8 << 20;

// The most segments one track may have.
inline constexpr std::size_t kMaxSegments = 100'000;

// The most text the addresses of one track's pieces may take together: a
// long template times many segments must not become gigabytes.
inline constexpr std::size_t kMaxTrackAddressBytes = 64 << 20;

// The most Representations a manifest may hold over all its Periods.
inline constexpr std::size_t kMaxRepresentations = 10'000;

// The longest duration in seconds anything may tell (a segment, a Period, a
// presentation): about four months.
inline constexpr double kMaxSeconds = 1e7;

// The largest whole number read (2^53 - 1): sums and products of a few of
// them still fit 64 bits, and doubles hold them exactly.
inline constexpr std::uint64_t kMaxWholeNumber = (std::uint64_t(1) << 53) - 1;

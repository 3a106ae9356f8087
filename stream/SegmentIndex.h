#pragma once

#include "stream/EStreamManifest.h"

#include <cstdint>
#include <string_view>
#include <vector>

// A segment index box ("sidx", versions 0 and 1): the sizes and durations
// of the subsegments of a media file, which follow the box.
struct TSegmentIndex {
    std::uint64_t Timescale = 1;
    std::uint64_t FirstOffset = 0; // from the end of the box to the first subsegment
    std::uint64_t BoxEnd = 0;      // where the box ends, counted from the first byte read
    struct TReference {
        std::uint64_t Size = 0;
        std::uint64_t Duration = 0; // in the timescale's units
    };
    std::vector<TReference> References;
};

// Reads the first sidx box among the boxes of the bytes. Raises
// EStreamManifest at the place when there is none, when it is cut short,
// of a version beyond 1, of timescale 0, or refers to further indexes.
TSegmentIndex ReadSegmentIndex(std::string_view bytes, const TManifestPlace& place);

#pragma once

#include "app/VideoDownload.h"
#include "app/VideoQuality.h"
#include "stream/StreamTypes.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// What --info tells about one address: what it was found to be and to
// offer, and what the quality takes of it. Empty texts and missing values
// are unknown.
struct TAddressInfo {
    std::string Address; // as the user gave it
    TFoundKind Kind = fkPage;
    TPiecesFormat Pieces = pfNone; // a stream's: pfHls or pfDash
    std::string Title;
    // The video formats in the order given; the separate audio renditions
    // and audio-only variants, whose empty Address means inside the video.
    std::vector<TStreamFormat> Formats;
    std::vector<TAudioRendition> Audio;
    std::string Quality; // its name
    std::string FormatId, AudioId;
    std::string File; // the name a download would propose
    // For a stream only: the chosen video's segments, its seconds, how its
    // pieces are protected and whether it may still grow.
    std::optional<std::size_t> Segments;
    std::optional<double> Duration;
    std::optional<TStreamProtection> Protection;
    bool Live = false;
    // Why a stream that is described cannot be saved; empty when it can.
    std::string Refusal;
};

// What a resolution found, as --info tells it: a video that could be
// saved, or a live or protected stream that was refused once described.
// Nothing for any other failure, which stands as it would for a download.
std::optional<TAddressInfo> DescribeResolution(const std::string& address, TVideoQuality quality,
                                               const TResolution& resolution);

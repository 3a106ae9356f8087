#pragma once

#include "stream/StreamTypes.h"

#include <cstdint>
#include <optional>
#include <string>

// What a download of a video streamed in pieces fetches and joins: the
// renditions chosen from a playlist or manifest, with all their pieces.
// The resolution makes it (fetching the playlists and any segment index a
// download needs first); the download component fetches what it lists.
struct TStreamPlan {
    // The playlist or manifest the choice was made from, as it was reached
    // (its final address): what a kept part is recorded as coming from.
    std::string ManifestAddress;
    std::string VideoId; // the chosen format's Id
    std::string AudioId; // the chosen separate audio's Id; empty when the video carries its sound
    TStreamTrack Video;
    std::optional<TStreamTrack> Audio;
    // The codecs of video and audio together (RFC 6381 names, as playlists
    // write them); empty when the manifest names none.
    std::string Codecs;
    // Bits per second of video and audio together, when the manifest says:
    // the size is estimated from it until the pieces tell.
    std::optional<std::int64_t> Bandwidth;
    // Seconds, the video's.
    double Duration = 0;
};

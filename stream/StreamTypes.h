#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The plain description of a video streamed in pieces, as both readers (HLS
// playlists and DASH manifests) give it: what to fetch, in which order, and
// how to decrypt it.

struct TByteRange {
    std::int64_t Offset = 0;
    std::int64_t Length = 0;

    bool operator==(const TByteRange&) const = default;
};

// AES-128-CBC with PKCS#7 padding over the whole piece.
struct TPieceKey {
    std::string Address; // where the 16-byte key is fetched from (absolute)
    std::array<unsigned char, 16> Iv{};

    bool operator==(const TPieceKey&) const = default;
};

// One thing to fetch: a segment or an init section.
struct TStreamPiece {
    std::string Address; // absolute http or https address
    std::optional<TByteRange> Range;
    std::optional<TPieceKey> Key;

    bool operator==(const TStreamPiece&) const = default;
};

struct TStreamSegment {
    TStreamPiece Piece;
    double Duration = 0;   // seconds
    int Init = -1;         // index into TStreamTrack::Inits, -1 when none
    int Discontinuity = 0; // how many discontinuities (or Period starts) come before it
};

// The pieces of one rendition, in play order.
struct TStreamTrack {
    std::vector<TStreamPiece> Inits;
    std::vector<TStreamSegment> Segments;
    double Duration = 0; // seconds, the sum of the segments'
};

// From the weakest to the strongest: a reader reports the strongest it saw.
enum TStreamProtection {
    spNone,
    spAes128, // whole pieces under AES-128, whose keys are fetched as pieces are
    spDrm,    // keys held by a licence server (sample encryption, a key format of its own)
};

// A video variant (HLS) or representation (DASH).
struct TStreamFormat {
    std::string Id;      // HLS: its position among the variants ("0", "1", ...); DASH: Representation@id
    std::string Address; // HLS: its media playlist; DASH: the address its pieces are read against
    std::optional<int> Width, Height;
    std::optional<std::int64_t> Bandwidth; // bits per second
    std::string Codecs;                    // as written, e.g. "avc1.42c01f,mp4a.40.2"
    std::string Container;                 // "ts", "fmp4", "mp4", "webm", ... when known, else ""
    std::string AudioGroup;                // HLS AUDIO group; empty otherwise
};

// An audio track that comes apart from the video, or the note that the
// video carries it.
struct TAudioRendition {
    // HLS: the rendition's NAME, or an audio-only variant's position;
    // DASH: Representation@id.
    std::string Id;
    // HLS: its media playlist, empty when the audio is inside the video;
    // DASH: the address its pieces are read against (see DashTrack).
    std::string Address;
    std::string Language, Name, Group;
    bool Default = false;
    std::optional<std::int64_t> Bandwidth;
    std::string Codecs;
};

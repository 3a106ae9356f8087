#pragma once

#include "stream/HlsLine.h"
#include "stream/HlsPlaylist.h"
#include "stream/TrackBuilder.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

// Reads a media playlist line by line: the tags that describe the next
// segment (EXTINF, EXT-X-BYTERANGE, EXT-X-DISCONTINUITY), those that hold
// until changed (EXT-X-KEY, EXT-X-MAP), and the segments' addresses.
class THlsMediaReader {
public:
    explicit THlsMediaReader(const std::string& address) : address_(address) {}

    void Read(const THlsLine& line);
    THlsPlaylist Finish();

private:
    // The key in force, as its tag gave it.
    struct TKey {
        std::string Address;
        std::optional<std::array<unsigned char, 16>> Iv;
        std::size_t Line = 0;
    };
    // An EXT-X-BYTERANGE, waiting for its segment.
    struct TWrittenRange {
        std::int64_t Length = 0;
        std::optional<std::int64_t> Offset;
    };

    void ReadTag(const THlsLine& line);
    void ReadKey(const THlsLine& line);
    void ReadMap(const THlsLine& line);
    void ReadSegment(const THlsLine& line);
    static TWrittenRange ReadRange(const THlsLine& line, std::string_view name, std::string_view text);
    TByteRange RangeOf(const THlsLine& line, const std::string& address, const TWrittenRange& written);
    std::optional<TPieceKey> KeyOf(std::uint64_t sequence) const;

    std::string address_;
    TTrackBuilder track_{mkPlaylist};
    std::uint64_t mediaSequence_ = 0;
    std::optional<double> duration_;     // EXTINF of the next segment
    std::optional<TWrittenRange> range_; // EXT-X-BYTERANGE of the next segment
    std::optional<TKey> key_;
    int init_ = -1;
    int discontinuities_ = 0;
    bool ended_ = false;
    bool onDemand_ = false;
    TStreamProtection protection_ = spNone;
    // Where the last range of each file ended, for a range without offset.
    std::unordered_map<std::string, std::int64_t> rangeEnds_;
};

#pragma once

#include "stream/StreamTypes.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// How a DASH Representation tells its segments in one Period, with what it
// inherits from its AdaptationSet and Period taken in: the manifest's words,
// read and checked but not yet made into a track (DashTrack does that when
// asked, so that a manifest of many Representations costs little).

// One S of a SegmentTimeline.
struct TDashTimelineEntry {
    std::optional<std::uint64_t> Time; // t; the end of the one before when absent
    std::uint64_t Duration = 0;        // d
    std::int64_t Repeat = 0;           // r; -1 repeats up to the next t or the Period's end
};

// One SegmentURL of a SegmentList.
struct TDashListEntry {
    std::string Media; // as written, read against the BaseURL; empty for the BaseURL itself
    std::optional<TByteRange> Range;
};

enum TDashSegmentKind {
    dsSingleFile, // none of the three: the BaseURL is the whole file
    dsTemplate,   // SegmentTemplate
    dsList,       // SegmentList
    dsBase,       // SegmentBase: one file, whose index (indexRange) lists its segments
};

struct TDashSegmentInfo {
    TDashSegmentKind Kind = dsSingleFile;
    std::uint64_t Timescale = 1;
    std::optional<std::uint64_t> Duration; // of each segment, in the timescale's units
    std::uint64_t StartNumber = 1;
    std::optional<std::uint64_t> EndNumber;
    std::uint64_t PresentationTimeOffset = 0;
    std::string Media, Initialization; // SegmentTemplate's, as written
    // Shared by the Representations that inherit one.
    std::shared_ptr<const std::vector<TDashTimelineEntry>> Timeline;
    std::shared_ptr<const std::vector<TDashListEntry>> List;
    std::optional<TStreamPiece> Init;     // an Initialization element's, resolved
    std::optional<TByteRange> IndexRange; // SegmentBase's
};

// One Representation in one Period.
struct TDashPeriodPieces {
    std::string RepresentationId;
    std::optional<std::int64_t> Bandwidth;
    std::string BaseAddress;              // the BaseURLs from the MPD's down to its own, resolved
    int Period = 0;                       // its Period's position, from 0: the discontinuities before it
    std::string PeriodName;               // "Period 2", for messages
    std::optional<double> PeriodDuration; // seconds; unknown for the last Period of a live presentation
    TDashSegmentInfo Segments;
};

// A Representation of the first Period, and those that continue it in the
// following ones.
struct TDashPieces {
    std::string Id;
    std::vector<TDashPeriodPieces> Periods;
};

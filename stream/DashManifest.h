#pragma once

#include "stream/DashSegmentInfo.h"
#include "stream/StreamTypes.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// A DASH manifest (MPD): the video and audio Representations of a
// presentation, its Periods joined into one track per Representation.
struct TDashManifest {
    bool Live = false;                     // type="dynamic": described, but not to be saved
    TStreamProtection Protection = spNone; // spDrm when any ContentProtection stands in it
    double Duration = 0;                   // seconds; 0 when unknown
    std::string Title;                     // ProgramInformation's Title, if any
    std::vector<TStreamFormat> Formats;    // the video Representations of the first Period, in order
    std::vector<TAudioRendition> Audio;    // its audio Representations
    std::vector<TDashPieces> Pieces;       // for DashTrack: those of each format and audio, by Id
};

// Reads a manifest fetched from an address (its final address, after any
// redirects), against which its BaseURLs are read.
//
// An AdaptationSet is video or audio by its contentType, else its mimeType,
// else its Representations' mimeType or codecs; a Representation takes what
// it does not tell itself from its AdaptationSet. Periods are joined: each
// Representation of the first is continued in every following Period by the
// one of the same id, else of the same kind nearest in height, language and
// bandwidth, which must have its codecs. A Period without video or audio is
// passed over.
//
// Raises EStreamManifest naming the element and why: for a text over 8 MiB,
// no XML, no MPD, a malformed or absurd value, Periods that cannot be
// joined, more than 10,000 Representations.
TDashManifest ReadDashManifest(std::string_view text, const std::string& address);

// What must be fetched first to know the segments of a Representation whose
// SegmentBase names an index (indexRange): the index, read by
// TrackFromIndex, lists the segments of the media file that follow it.
struct TDashIndexRequest {
    std::string RepresentationId;
    TStreamPiece Index; // the media file's address and indexRange
    TStreamPiece Media; // the media file
    // The Initialization element's, else the bytes before the index.
    std::optional<TStreamPiece> Init;
};

// The pieces of one Representation (video or audio, by its Id) across the
// joined Periods: complete, or what must be fetched first to complete them.
// $Number$, $Time$, $RepresentationID$ and $Bandwidth$ templates are
// expanded, SegmentTimelines repeated (r="-1" up to the next S or the
// Period's end), and a template's segments counted from its Period's
// duration. Raises EStreamManifest naming the element for an id no format
// or audio has, over 100,000 segments, a Period whose duration is needed
// and unknown, and an index in a presentation of several Periods.
std::variant<TStreamTrack, TDashIndexRequest> DashTrack(const TDashManifest& manifest,
                                                        const std::string& representationId);

// The segments a fetched index (a sidx box, versions 0 and 1) lists: byte
// ranges of the media file, from the end of the box on. Raises
// EStreamManifest for bytes that hold no such index, or are cut short.
TStreamTrack TrackFromIndex(const TDashIndexRequest& request, std::string_view sidxBytes);

#pragma once

#include "stream/DashManifest.h"

#include <string>
#include <vector>

// A video or audio Representation of one Period, as the manifest's reader
// hands it to the join.
struct TDashRepresentation {
    enum TKind { rkVideo, rkAudio };

    TKind Kind = rkVideo;
    TStreamFormat Format; // its Id, size, bandwidth, codecs and container
    std::string Language, Name;
    bool Default = false; // its Role is "main"
    TDashPeriodPieces Pieces;
};

// The video and audio Representations of each Period that has any.
using TDashPeriods = std::vector<std::vector<TDashRepresentation>>;

// Fills a manifest's formats, audio and pieces from the first Period's
// Representations, each continued in every following Period by the one of
// the same id, else of the same kind nearest in height, language and
// bandwidth. Raises EStreamManifest naming the Period where none continues
// one, or where the one that does has other codecs.
void JoinPeriods(const TDashPeriods& periods, TDashManifest& manifest);

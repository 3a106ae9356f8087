#pragma once

#include "stream/DashSegmentInfo.h"
#include "stream/TrackBuilder.h"

// Adds the segments (and init sections) one Representation tells in one
// Period to a track: a template's expanded by its timeline or counted from
// the Period's duration, a list's, or the single file. A SegmentBase with
// an index is not for here: its segments come from the index.
//
// Raises EStreamManifest naming the element for over 100,000 segments, a
// bad template, times beyond bounds, and a Period whose duration is needed
// but unknown.
void AddPeriodSegments(TTrackBuilder& track, const TDashPeriodPieces& pieces);

#pragma once

#include "http/TWebAddress.h"
#include "page/ReferenceResolution.h"
#include "stream/StreamLimits.h"
#include "stream/StreamTypes.h"

#include <cmath>
#include <cstdlib>

// What must hold for every track a reader gives, whatever it read.

inline void Check(bool condition)
{
    if (!condition)
        std::abort();
}

inline void CheckPiece(const TStreamPiece& piece)
{
    Check(TWebAddress::ParseWeb(piece.Address).has_value());
    Check(!piece.Range || (piece.Range->Offset >= 0 && piece.Range->Length > 0));
    Check(!piece.Key || TWebAddress::ParseWeb(piece.Key->Address).has_value());
}

inline void CheckTrack(const TStreamTrack& track)
{
    Check(track.Segments.size() <= kMaxSegments);
    for (const TStreamPiece& init : track.Inits)
        CheckPiece(init);
    for (const TStreamSegment& segment : track.Segments) {
        CheckPiece(segment.Piece);
        Check(segment.Init >= -1 && segment.Init < static_cast<int>(track.Inits.size()));
        Check(std::isfinite(segment.Duration) && segment.Duration >= 0);
        Check(segment.Discontinuity >= 0);
    }
    Check(std::isfinite(track.Duration) && track.Duration >= 0);
}

#pragma once

#include "stream/EStreamManifest.h"
#include "stream/StreamTypes.h"

#include <cstddef>
#include <string>
#include <unordered_map>

// Puts a track together piece by piece, within the bounds on segments and
// on the text of their addresses. A piece beyond them, or whose address is
// no http or https address, raises EStreamManifest, naming the place the
// pieces being added come from.
class TTrackBuilder {
public:
    explicit TTrackBuilder(TManifestKind kind) : kind_(kind) {}

    // Where the pieces added next are written, for messages.
    void SetPlace(TManifestPlace place) { place_ = std::move(place); }

    // The index of an init section among the track's; one equal to an
    // earlier one shares its index.
    int AddInit(TStreamPiece init);
    void AddSegment(TStreamSegment segment);

    std::size_t SegmentCount() const { return track_.Segments.size(); }
    TStreamTrack Take() { return std::move(track_); }

private:
    [[noreturn]] void FailCount() const;
    void Spend(const TStreamPiece& piece);

    TManifestKind kind_;
    TManifestPlace place_;
    TStreamTrack track_;
    std::size_t addressBytes_ = 0;
    std::unordered_map<std::string, int> initIndexes_; // by what tells one init from another
};

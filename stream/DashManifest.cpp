#include "stream/DashManifest.h"

#include "http/TWebAddress.h"
#include "page/ReferenceResolution.h"
#include "stream/DashPeriodSegments.h"
#include "stream/DashReader.h"
#include "stream/SegmentIndex.h"
#include "stream/StreamLimits.h"
#include "stream/TrackBuilder.h"

#include <algorithm>

namespace {

TManifestPlace RepresentationPlace(const std::string& id)
{
    return TManifestPlace::Element("Representation " + id);
}

TDashIndexRequest IndexRequest(const TDashPieces& pieces)
{
    if (pieces.Periods.size() > 1)
        throw EStreamManifest(mkManifest, RepresentationPlace(pieces.Id),
                              "its segment index cannot be joined across Periods");
    const TDashPeriodPieces& only = pieces.Periods.front();
    if (!TWebAddress::ParseWeb(only.BaseAddress))
        throw EStreamManifest(mkManifest, RepresentationPlace(pieces.Id), "%s is not an http or https address",
                              {Quoted(only.BaseAddress)});
    const TByteRange index = *only.Segments.IndexRange;
    TDashIndexRequest request;
    request.RepresentationId = pieces.Id;
    request.Index = TStreamPiece{only.BaseAddress, index, std::nullopt};
    request.Media = TStreamPiece{only.BaseAddress, std::nullopt, std::nullopt};
    // Without an Initialization the file's init section is what stands
    // before its index (ftyp and moov).
    if (only.Segments.Init)
        request.Init = only.Segments.Init;
    else if (index.Offset > 0)
        request.Init = TStreamPiece{only.BaseAddress, TByteRange{0, index.Offset}, std::nullopt};
    return request;
}

} // namespace

TDashManifest ReadDashManifest(std::string_view text, const std::string& address)
{
    return TDashReader(address).Read(text);
}

std::variant<TStreamTrack, TDashIndexRequest> DashTrack(const TDashManifest& manifest,
                                                        const std::string& representationId)
{
    auto pieces = std::find_if(manifest.Pieces.begin(), manifest.Pieces.end(),
                               [&](const TDashPieces& candidate) { return candidate.Id == representationId; });
    if (pieces == manifest.Pieces.end())
        throw EStreamManifest(mkManifest, {}, "%s is missing", {"Representation " + Quoted(representationId)});
    const bool indexed =
        std::any_of(pieces->Periods.begin(), pieces->Periods.end(), [](const TDashPeriodPieces& period) {
            return period.Segments.Kind == dsBase && period.Segments.IndexRange;
        });
    if (indexed)
        return IndexRequest(*pieces);
    TTrackBuilder track(mkManifest);
    track.SetPlace(RepresentationPlace(pieces->Id));
    for (const TDashPeriodPieces& period : pieces->Periods)
        AddPeriodSegments(track, period);
    return track.Take();
}

TStreamTrack TrackFromIndex(const TDashIndexRequest& request, std::string_view sidxBytes)
{
    const TManifestPlace place = TManifestPlace::ElementOf("sidx", "Representation " + request.RepresentationId);
    const TSegmentIndex index = ReadSegmentIndex(sidxBytes, place);
    TTrackBuilder track(mkManifest);
    track.SetPlace(place);
    const int init = request.Init ? track.AddInit(*request.Init) : -1;
    if (index.FirstOffset > kMaxWholeNumber)
        throw EStreamManifest(mkManifest, place, "%s has an invalid value (%s)",
                              {"first_offset", std::to_string(index.FirstOffset)});
    // The subsegments follow the box, after first_offset bytes; each size
    // is below 2^31, so the offsets of 65535 of them stay far within 2^63.
    std::uint64_t offset = (request.Index.Range ? request.Index.Range->Offset : 0) + index.BoxEnd + index.FirstOffset;
    for (const TSegmentIndex::TReference& reference : index.References) {
        if (reference.Size == 0)
            throw EStreamManifest(mkManifest, place, "%s has an invalid value (%s)",
                                  {"referenced_size", std::to_string(reference.Size)});
        TStreamSegment segment;
        segment.Piece = TStreamPiece{
            request.Media.Address,
            TByteRange{static_cast<std::int64_t>(offset), static_cast<std::int64_t>(reference.Size)}, std::nullopt};
        segment.Duration = double(reference.Duration) / double(index.Timescale);
        segment.Init = init;
        track.AddSegment(std::move(segment));
        offset += reference.Size;
    }
    return track.Take();
}

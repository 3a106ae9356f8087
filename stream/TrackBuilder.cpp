#include "stream/TrackBuilder.h"

#include "http/TWebAddress.h"
#include "page/ReferenceResolution.h"
#include "stream/StreamLimits.h"

namespace {

// Every field of a piece, so that two pieces are one when their texts are.
std::string Identity(const TStreamPiece& piece)
{
    std::string identity = piece.Address;
    if (piece.Range)
        identity += "\n" + std::to_string(piece.Range->Offset) + "+" + std::to_string(piece.Range->Length);
    if (piece.Key)
        identity += "\n" + piece.Key->Address + "\n" + std::string(piece.Key->Iv.begin(), piece.Key->Iv.end());
    return identity;
}

} // namespace

int TTrackBuilder::AddInit(TStreamPiece init)
{
    auto [known, added] = initIndexes_.try_emplace(Identity(init), static_cast<int>(track_.Inits.size()));
    if (!added)
        return known->second;
    if (track_.Inits.size() == kMaxSegments)
        FailCount();
    Spend(init);
    track_.Inits.push_back(std::move(init));
    return known->second;
}

void TTrackBuilder::AddSegment(TStreamSegment segment)
{
    if (track_.Segments.size() == kMaxSegments)
        FailCount();
    Spend(segment.Piece);
    track_.Duration += segment.Duration;
    track_.Segments.push_back(std::move(segment));
}

void TTrackBuilder::FailCount() const
{
    throw EStreamManifest(kind_, place_, "more than %s segments", {std::to_string(kMaxSegments)});
}

void TTrackBuilder::Spend(const TStreamPiece& piece)
{
    for (const std::string* address : {&piece.Address, piece.Key ? &piece.Key->Address : nullptr})
        if (address && !TWebAddress::ParseWeb(*address))
            throw EStreamManifest(kind_, place_, "%s is not an http or https address", {Quoted(*address)});
    addressBytes_ += piece.Address.size() + (piece.Key ? piece.Key->Address.size() : 0);
    if (addressBytes_ > kMaxTrackAddressBytes)
        throw EStreamManifest(kind_, place_, "the addresses of its pieces take more than %s MiB",
                              {std::to_string(kMaxTrackAddressBytes >> 20)});
}

#include "stream/DashPeriodJoin.h"

#include "runtime/AsciiText.h"
#include "stream/CodecList.h"
#include "stream/EStreamManifest.h"

#include <cstdlib>
#include <tuple>

namespace {

// How far one Representation stands from another; the same id is nearest
// of all.
auto Distance(const TDashRepresentation& a, const TDashRepresentation& b)
{
    return std::tuple(a.Format.Id != b.Format.Id, std::abs(a.Format.Height.value_or(0) - b.Format.Height.value_or(0)),
                      !AsciiText::SameText(a.Language, b.Language),
                      std::llabs(a.Format.Bandwidth.value_or(0) - b.Format.Bandwidth.value_or(0)));
}

const TDashRepresentation* Continuation(const TDashRepresentation& first,
                                        const std::vector<TDashRepresentation>& period)
{
    const TDashRepresentation* best = nullptr;
    for (const TDashRepresentation& candidate : period)
        if (candidate.Kind == first.Kind && (!best || Distance(first, candidate) < Distance(first, *best)))
            best = &candidate;
    return best;
}

std::string NameOf(const TDashRepresentation& representation)
{
    return "Representation " + representation.Format.Id;
}

const TDashPeriodPieces& Continue(const TDashRepresentation& first, const std::vector<TDashRepresentation>& period)
{
    const TManifestPlace place = TManifestPlace::Element(period.front().Pieces.PeriodName);
    const TDashRepresentation* next = Continuation(first, period);
    if (!next)
        throw EStreamManifest(mkManifest, place, "no Representation continues %s", {NameOf(first)});
    const std::string families = CodecFamilies(first.Format.Codecs);
    const std::string nextFamilies = CodecFamilies(next->Format.Codecs);
    if (!families.empty() && !nextFamilies.empty() && families != nextFamilies)
        throw EStreamManifest(mkManifest, place, "the codecs of %s (%s) differ from those of %s (%s)",
                              {NameOf(*next), Quoted(next->Format.Codecs), NameOf(first), Quoted(first.Format.Codecs)});
    return next->Pieces;
}

TAudioRendition AudioOf(const TDashRepresentation& representation)
{
    TAudioRendition audio;
    audio.Id = representation.Format.Id;
    audio.Address = representation.Pieces.BaseAddress;
    audio.Language = representation.Language;
    audio.Name = representation.Name;
    audio.Default = representation.Default;
    audio.Bandwidth = representation.Format.Bandwidth;
    audio.Codecs = representation.Format.Codecs;
    return audio;
}

} // namespace

void JoinPeriods(const TDashPeriods& periods, TDashManifest& manifest)
{
    if (periods.empty())
        return;
    for (const TDashRepresentation& first : periods.front()) {
        TDashPieces pieces{first.Format.Id, {first.Pieces}};
        for (std::size_t period = 1; period < periods.size(); ++period)
            pieces.Periods.push_back(Continue(first, periods[period]));
        manifest.Pieces.push_back(std::move(pieces));
        if (first.Kind == TDashRepresentation::rkVideo) {
            manifest.Formats.push_back(first.Format);
            manifest.Formats.back().Address = first.Pieces.BaseAddress;
        } else {
            manifest.Audio.push_back(AudioOf(first));
        }
    }
}

#include "stream/DashPeriodSegments.h"

#include "page/ReferenceResolution.h"
#include "stream/DashTemplate.h"
#include "stream/StreamLimits.h"

#include <cmath>

namespace {

// Counts from durations that are decimals come a hair over the whole
// number they mean (10.000000001 segments are ten).
constexpr double kCountTolerance = 1e-9;

std::string RepresentationName(const TDashPeriodPieces& pieces)
{
    return "Representation " + pieces.RepresentationId;
}

[[noreturn]] void FailCount(const TManifestPlace& place)
{
    throw EStreamManifest(mkManifest, place, "more than %s segments", {std::to_string(kMaxSegments)});
}

double PeriodDuration(const TDashPeriodPieces& pieces)
{
    if (!pieces.PeriodDuration)
        throw EStreamManifest(mkManifest, TManifestPlace::Element(pieces.PeriodName), "%s is missing", {"duration"});
    return *pieces.PeriodDuration;
}

// How many segments of a duration reach from a time to an end, in the
// timescale's units.
std::uint64_t SegmentsUntil(double end, std::uint64_t time, std::uint64_t duration, const TManifestPlace& place)
{
    if (end <= double(time))
        return 0;
    const double count = std::ceil((end - double(time)) / double(duration) - kCountTolerance);
    if (count > double(kMaxSegments))
        FailCount(place);
    return static_cast<std::uint64_t>(count);
}

// Calls visit(time, duration) for each segment of a SegmentTimeline, in the
// timescale's units.
template <class TVisit>
void ForEachTimelineSegment(const TDashPeriodPieces& pieces, TVisit&& visit)
{
    const TDashSegmentInfo& info = pieces.Segments;
    const std::vector<TDashTimelineEntry>& entries = *info.Timeline;
    const TManifestPlace place = TManifestPlace::ElementOf("SegmentTimeline", RepresentationName(pieces));
    std::uint64_t time = 0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TDashTimelineEntry& entry = entries[i];
        time = entry.Time.value_or(time);
        std::uint64_t repeats = static_cast<std::uint64_t>(entry.Repeat) + 1;
        if (entry.Repeat < 0) {
            const std::optional<std::uint64_t> next = i + 1 < entries.size() ? entries[i + 1].Time : std::nullopt;
            const double end =
                next ? double(*next) : double(info.PresentationTimeOffset) + PeriodDuration(pieces) * info.Timescale;
            repeats = SegmentsUntil(end, time, entry.Duration, place);
        }
        for (std::uint64_t repeat = 0; repeat < repeats; ++repeat) {
            if (++count > kMaxSegments)
                FailCount(place);
            if (time > kMaxWholeNumber)
                throw EStreamManifest(mkManifest, place, "%s has an invalid value (%s)", {"t", std::to_string(time)});
            visit(time, entry.Duration);
            time += entry.Duration;
        }
    }
}

// How many segments of the template's duration a Period has: as many as
// cover its duration, up to endNumber.
std::uint64_t CountedSegments(const TDashPeriodPieces& pieces, const TManifestPlace& place)
{
    const TDashSegmentInfo& info = pieces.Segments;
    std::optional<std::uint64_t> byNumber;
    if (info.EndNumber)
        byNumber = *info.EndNumber >= info.StartNumber ? *info.EndNumber - info.StartNumber + 1 : 0;
    if (!pieces.PeriodDuration && byNumber) {
        if (*byNumber > kMaxSegments)
            FailCount(place);
        return *byNumber;
    }
    const std::uint64_t byDuration = SegmentsUntil(PeriodDuration(pieces) * info.Timescale, 0, *info.Duration, place);
    return byNumber ? std::min(*byNumber, byDuration) : byDuration;
}

class TPeriodSegments {
public:
    TPeriodSegments(TTrackBuilder& track, const TDashPeriodPieces& pieces)
        : track_(track), pieces_(pieces), info_(pieces.Segments)
    {}

    void Add()
    {
        switch (info_.Kind) {
        case dsTemplate: AddTemplate(); break;
        case dsList: AddList(); break;
        case dsSingleFile:
        case dsBase: Add(pieces_.BaseAddress, std::nullopt, pieces_.PeriodDuration.value_or(0)); break;
        }
    }

private:
    void Add(std::string address, std::optional<TByteRange> range, double duration)
    {
        TStreamSegment segment;
        segment.Piece = TStreamPiece{std::move(address), range, std::nullopt};
        segment.Duration = duration;
        segment.Init = init_;
        segment.Discontinuity = pieces_.Period;
        track_.AddSegment(std::move(segment));
    }

    double Seconds(std::uint64_t units) const { return double(units) / double(info_.Timescale); }

    void AddTemplate()
    {
        const TManifestPlace place = TManifestPlace::ElementOf("SegmentTemplate", RepresentationName(pieces_));
        if (!info_.Initialization.empty()) {
            const TDashTemplate initialization(info_.Initialization, TDashTemplate::tuInitialization,
                                               pieces_.RepresentationId, pieces_.Bandwidth, place, "initialization");
            init_ = track_.AddInit({ResolveReference(pieces_.BaseAddress, initialization.Expand(0, 0)), {}, {}});
        } else if (info_.Init) {
            init_ = track_.AddInit(*info_.Init);
        }
        const TDashTemplate media(info_.Media, TDashTemplate::tuSegments, pieces_.RepresentationId, pieces_.Bandwidth,
                                  place, "media");
        std::uint64_t number = info_.StartNumber;
        auto add = [&](std::uint64_t time, double duration) {
            Add(ResolveReference(pieces_.BaseAddress, media.Expand(number++, time)), std::nullopt, duration);
        };
        if (info_.Timeline) {
            ForEachTimelineSegment(pieces_,
                                   [&](std::uint64_t time, std::uint64_t units) { add(time, Seconds(units)); });
        } else if (info_.Duration) {
            ForEachCountedSegment(place, add);
        } else {
            // One segment, which lasts as long as the Period.
            add(info_.PresentationTimeOffset, pieces_.PeriodDuration.value_or(0));
        }
    }

    template <class TVisit>
    void ForEachCountedSegment(const TManifestPlace& place, TVisit&& visit)
    {
        const std::uint64_t count = CountedSegments(pieces_, place);
        const std::uint64_t each = *info_.Duration;
        if (count > 1 && each > (kMaxWholeNumber - info_.PresentationTimeOffset) / (count - 1))
            throw EStreamManifest(mkManifest, place, "%s has an invalid value (%s)",
                                  {"duration", std::to_string(each)});
        for (std::uint64_t i = 0; i < count; ++i) {
            double seconds = Seconds(each);
            // The last segment ends with the Period.
            if (pieces_.PeriodDuration && i + 1 == count)
                seconds = std::max(0.0, std::min(seconds, *pieces_.PeriodDuration - double(i) * Seconds(each)));
            visit(info_.PresentationTimeOffset + i * each, seconds);
        }
    }

    void AddList()
    {
        if (info_.Init)
            init_ = track_.AddInit(*info_.Init);
        const std::vector<TDashListEntry>& entries = *info_.List;
        std::vector<double> durations;
        if (info_.Timeline)
            ForEachTimelineSegment(pieces_,
                                   [&](std::uint64_t, std::uint64_t units) { durations.push_back(Seconds(units)); });
        // Without durations of their own the segments share the Period's.
        const double each =
            info_.Duration ? Seconds(*info_.Duration) : pieces_.PeriodDuration.value_or(0) / double(entries.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const TDashListEntry& entry = entries[i];
            std::string address =
                entry.Media.empty() ? pieces_.BaseAddress : ResolveReference(pieces_.BaseAddress, entry.Media);
            Add(std::move(address), entry.Range, i < durations.size() ? durations[i] : each);
        }
    }

    TTrackBuilder& track_;
    const TDashPeriodPieces& pieces_;
    const TDashSegmentInfo& info_;
    int init_ = -1;
};

} // namespace

void AddPeriodSegments(TTrackBuilder& track, const TDashPeriodPieces& pieces)
{
    TPeriodSegments(track, pieces).Add();
}

#include "app/StreamReading.h"

#include "stream/CodecList.h"

void RefuseUnsavable(const TStreamDescription& description)
{
    if (description.Protection == spDrm)
        throw EProtectedStream();
    if (description.Live)
        throw ELiveStream();
}

namespace {

std::string PlanCodecs(const std::string& videoCodecs, const std::string& audioCodecs)
{
    if (videoCodecs.empty() || audioCodecs.empty() || CodecKindsOf(videoCodecs).Audio)
        return videoCodecs;
    return videoCodecs + "," + audioCodecs;
}

std::optional<std::int64_t> Together(std::optional<std::int64_t> video, const TAudioRendition* audio)
{
    if (!video || !audio || !audio->Bandwidth)
        return video;
    return *video + *audio->Bandwidth;
}

} // namespace

TStreamPlan ChosenPlan(const std::string& manifestAddress, const TStreamFormat& format, const TAudioRendition* audio,
                       const TTrackFetch& fetch, TStreamDescription& description)
{
    description.VideoId = format.Id;
    description.AudioId = audio ? audio->Id : "";
    description.Codecs = PlanCodecs(format.Codecs, audio ? audio->Codecs : "");
    RefuseUnsavable(description);
    TStreamPlan plan;
    plan.ManifestAddress = manifestAddress;
    plan.VideoId = format.Id;
    plan.Video = fetch(format.Id, format.Address);
    description.VideoSegments = plan.Video.Segments.size();
    description.Duration = plan.Video.Duration;
    RefuseUnsavable(description);
    if (audio) {
        plan.AudioId = audio->Id;
        plan.Audio = fetch(audio->Id, audio->Address);
        description.AudioSegments = plan.Audio->Segments.size();
        RefuseUnsavable(description);
    }
    plan.Codecs = description.Codecs;
    plan.Bandwidth = Together(format.Bandwidth, audio);
    plan.Duration = plan.Video.Duration;
    return plan;
}

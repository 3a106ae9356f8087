#include "app/StreamReading.h"

#include "stream/EStreamManifest.h"
#include "stream/HlsPlaylist.h"
#include "stream/StreamChoice.h"

#include <algorithm>

namespace {

// What a media playlist adds to the description: whether it is live, and
// how its pieces are protected.
void Describe(const THlsPlaylist& playlist, TStreamDescription& description)
{
    description.Live = description.Live || playlist.Live;
    description.Protection = std::max(description.Protection, playlist.Protection);
}

// The segments of a variant or rendition of a master playlist, from its
// own media playlist, read against the address it was reached at.
TStreamTrack FetchTrack(TIdCustomHTTP& http, const std::string& address, TStreamDescription& description)
{
    // The reader gave only http and https addresses.
    const TStreamAnswer answer = FetchStreamAnswer(http, TWebAddress::Parse(address).value());
    THlsPlaylist playlist = ReadHlsPlaylist(answer.Text, answer.Address.Text());
    if (playlist.Master)
        throw EStreamManifest(mkPlaylist, {}, "it lists variants where segments were expected");
    Describe(playlist, description);
    return std::move(playlist.Track);
}

// The master names no container: the chosen variant's media playlist
// tells it, by an init section (EXT-X-MAP) of fragmented MP4 or none for
// MPEG-TS.
void DescribeContainer(const TStreamTrack& track, const std::string& id, TStreamDescription& description)
{
    for (TStreamFormat& format : description.Formats)
        if (format.Id == id)
            format.Container = track.Inits.empty() ? "ts" : "fmp4";
}

// A media playlist given itself: its only rendition carries the sound, and
// names no codecs.
TStreamPlan LonePlaylistPlan(THlsPlaylist playlist, const std::string& address, TStreamDescription& description)
{
    Describe(playlist, description);
    description.VideoSegments = playlist.Track.Segments.size();
    description.Duration = playlist.Track.Duration;
    RefuseUnsavable(description);
    TStreamPlan plan;
    plan.ManifestAddress = address;
    plan.Video = std::move(playlist.Track);
    plan.Duration = plan.Video.Duration;
    return plan;
}

// The audio rendition of the variant's group in the language; none when
// the variant carries its sound (it names no group, or the group's choice
// has no playlist of its own).
const TAudioRendition* AudioOf(const THlsPlaylist& master, const TStreamFormat& format, const std::string& language)
{
    if (format.AudioGroup.empty())
        return nullptr;
    const TAudioRendition* audio = ChooseAudio(master.Audio, format.AudioGroup, language);
    return audio && !audio->Address.empty() ? audio : nullptr;
}

} // namespace

TStreamPlan HlsStreamPlan(TIdCustomHTTP& http, const TStreamAnswer& answer, const TStreamWish& wish,
                          TStreamDescription& description)
{
    THlsPlaylist playlist = ReadHlsPlaylist(answer.Text, answer.Address.Text());
    if (!playlist.Master)
        return LonePlaylistPlan(std::move(playlist), answer.Address.Text(), description);
    description.Formats = playlist.Formats;
    description.Audio = playlist.Audio;
    description.Protection = playlist.Protection; // its session keys
    const TStreamFormat* format = ChooseFormat(playlist.Formats, wish.Size);
    if (!format)
        throw EStreamManifest(mkPlaylist, {}, "it names no video");
    return ChosenPlan(
        answer.Address.Text(), *format, AudioOf(playlist, *format, wish.Language),
        [&](const std::string& id, const std::string& address) {
            TStreamTrack track = FetchTrack(http, address, description);
            if (id == format->Id)
                DescribeContainer(track, id, description);
            return track;
        },
        description);
}

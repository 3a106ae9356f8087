// Reads arbitrary bytes as an HLS playlist: either a fault with its line, or
// a playlist whose every address is an http or https address and whose
// track keeps its bounds.
#include "TrackChecks.h"
#include "stream/EStreamManifest.h"
#include "stream/HlsPlaylist.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const THlsPlaylist playlist = ReadHlsPlaylist(text, "https://example.org/shows/a/index.m3u8");
        for (const TStreamFormat& format : playlist.Formats)
            Check(TWebAddress::ParseWeb(format.Address).has_value() && (!format.Height || *format.Height > 0));
        for (const TAudioRendition& audio : playlist.Audio)
            Check(audio.Address.empty() || TWebAddress::ParseWeb(audio.Address).has_value());
        CheckTrack(playlist.Track);
        Check(!playlist.Master || playlist.Track.Segments.empty());
    } catch (const EStreamManifest& error) {
        Check(std::string_view(error.what()).starts_with("The playlist cannot be read: "));
    }
    return 0;
}

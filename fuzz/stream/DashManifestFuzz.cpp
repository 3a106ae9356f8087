// Reads arbitrary bytes as a DASH manifest, makes the track of each of its
// Representations, and reads the bytes as the segment index of one: either
// a fault with its element, or tracks whose every address is an http or
// https address and that keep their bounds.
#include "TrackChecks.h"
#include "stream/DashManifest.h"
#include "stream/EStreamManifest.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

template <class TRead>
void Expect(TRead&& read)
{
    try {
        read();
    } catch (const EStreamManifest& error) {
        Check(std::string_view(error.what()).starts_with("The manifest cannot be read: "));
    }
}

void CheckIndexRequest(const TDashIndexRequest& request, std::string_view bytes)
{
    CheckPiece(request.Index);
    CheckPiece(request.Media);
    Check(request.Index.Range.has_value());
    Expect([&] { CheckTrack(TrackFromIndex(request, bytes)); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Expect([&] {
        const TDashManifest manifest = ReadDashManifest(bytes, "https://example.org/films/night.mpd");
        Check(manifest.Pieces.size() == manifest.Formats.size() + manifest.Audio.size());
        for (const TDashPieces& pieces : manifest.Pieces) {
            Expect([&] {
                std::variant<TStreamTrack, TDashIndexRequest> track = DashTrack(manifest, pieces.Id);
                if (const TStreamTrack* complete = std::get_if<TStreamTrack>(&track))
                    CheckTrack(*complete);
                else
                    CheckIndexRequest(std::get<TDashIndexRequest>(track), bytes);
            });
        }
    });
    TDashIndexRequest request;
    request.RepresentationId = "a";
    request.Index = TStreamPiece{"https://example.org/a.mp4", TByteRange{1000, 100}, std::nullopt};
    request.Media = TStreamPiece{"https://example.org/a.mp4", std::nullopt, std::nullopt};
    CheckIndexRequest(request, bytes);
    return 0;
}

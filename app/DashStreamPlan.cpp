#include "app/StreamReading.h"

#include "http/TIdHTTP.h"
#include "stream/DashManifest.h"
#include "stream/EStreamManifest.h"
#include "stream/StreamChoice.h"

#include <algorithm>

namespace {

// Clears the range a request asked for, however the request ends.
class TRangeRequest {
public:
    TRangeRequest(TIdCustomHTTP& http, const TByteRange& range) : http_(http)
    {
        http_.Request().SetRange(std::to_string(range.Offset) + "-" + std::to_string(range.Offset + range.Length - 1));
    }
    ~TRangeRequest() { http_.Request().SetRange(""); }
    TRangeRequest(const TRangeRequest&) = delete;
    TRangeRequest& operator=(const TRangeRequest&) = delete;

private:
    TIdCustomHTTP& http_;
};

// The bytes of a segment index, asked for by its byte range. A server that
// does not serve ranges sends the whole file, within the page client's
// bounds; bytes that do not cover the range come out cut short, which the
// index's reader says.
std::string FetchIndex(TIdCustomHTTP& http, const TStreamPiece& index)
{
    const TByteRange& wanted = *index.Range; // DashTrack gives an index with its range, at a web address
    std::string bytes;
    {
        TRangeRequest range(http, wanted);
        bytes = FetchStreamAnswer(http, TWebAddress::Parse(index.Address).value()).Text;
    }
    const std::int64_t first = http.ResponseCode() == 206 ? http.Response().ContentRangeStart() : 0;
    if (first > wanted.Offset)
        return {};
    const auto skipped = static_cast<std::size_t>(std::min<std::int64_t>(wanted.Offset - first, bytes.size()));
    return bytes.substr(skipped, static_cast<std::size_t>(wanted.Length));
}

// The pieces of a Representation, its segment index fetched first when its
// SegmentBase names one.
TStreamTrack FetchTrack(TIdCustomHTTP& http, const TDashManifest& manifest, const std::string& id)
{
    auto track = DashTrack(manifest, id);
    if (auto* complete = std::get_if<TStreamTrack>(&track))
        return std::move(*complete);
    const TDashIndexRequest& request = std::get<TDashIndexRequest>(track);
    return TrackFromIndex(request, FetchIndex(http, request.Index));
}

} // namespace

TStreamPlan DashStreamPlan(TIdCustomHTTP& http, const TStreamAnswer& answer, const TStreamWish& wish,
                           TStreamDescription& description)
{
    const TDashManifest manifest = ReadDashManifest(answer.Text, answer.Address.Text());
    description.Formats = manifest.Formats;
    description.Audio = manifest.Audio;
    description.Duration = manifest.Duration;
    description.Protection = manifest.Protection;
    description.Live = manifest.Live;
    const TStreamFormat* format = ChooseFormat(manifest.Formats, wish.Size);
    if (!format)
        throw EStreamManifest(mkManifest, {}, "it names no video");
    return ChosenPlan(
        answer.Address.Text(), *format, ChooseAudio(manifest.Audio, "", wish.Language),
        [&](const std::string& id, const std::string&) { return FetchTrack(http, manifest, id); }, description);
}

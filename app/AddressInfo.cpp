#include "app/AddressInfo.h"

#include "app/StreamLink.h"

namespace {

// The text of a live or protected stream's refusal; empty for any other
// failure.
std::string StreamRefusal(const std::exception_ptr& failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const ELiveStream& refused) {
        return refused.what();
    } catch (const EProtectedStream& refused) {
        return refused.what();
    } catch (...) {
        return {};
    }
}

// A media playlist given itself lists no variants: it is its own only
// format.
std::vector<TStreamFormat> StreamFormats(const TStreamDescription& stream, std::string& chosenId)
{
    if (!stream.Formats.empty()) {
        chosenId = stream.VideoId;
        return stream.Formats;
    }
    TStreamFormat itself;
    itself.Id = "0";
    itself.Address = stream.Address;
    chosenId = itself.Id;
    return {itself};
}

void TellStream(const TStreamDescription& stream, TAddressInfo& info)
{
    info.Pieces = stream.Kind;
    info.Formats = StreamFormats(stream, info.FormatId);
    info.Audio = stream.Audio;
    info.AudioId = stream.AudioId;
    if (stream.VideoSegments > 0)
        info.Segments = stream.VideoSegments;
    if (stream.Duration > 0)
        info.Duration = stream.Duration;
    info.Protection = stream.Protection;
    info.Live = stream.Live;
}

} // namespace

std::optional<TAddressInfo> DescribeResolution(const std::string& address, TVideoQuality quality,
                                               const TResolution& resolution)
{
    TAddressInfo info;
    if (resolution.Failure) {
        info.Refusal = StreamRefusal(resolution.Failure);
        if (info.Refusal.empty() || !resolution.Description)
            return std::nullopt;
    }
    info.Address = address;
    info.Kind = resolution.Offer.Kind;
    info.Quality = QualityName(quality);
    info.Title = resolution.Offer.Title;
    if (const std::optional<TStreamDescription>& stream = resolution.Description) {
        TellStream(*stream, info);
        if (info.Title.empty())
            info.Title = stream->Title;
        info.File = stream->Title + StreamExtension(stream->Codecs);
    } else {
        info.Formats = resolution.Offer.Formats;
        info.FormatId = resolution.Offer.FormatId;
    }
    if (const std::optional<TVideoSource>& video = resolution.Video) {
        if (info.Title.empty())
            info.Title = video->Title;
        info.File = video->ProposedFileName;
    }
    return info;
}

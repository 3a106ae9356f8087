#include "app/VideoOffer.h"

#include "app/DirectLink.h"
#include "page/VideoTypes.h"
#include "runtime/AsciiText.h"

TStreamFormat OfferedVideo(const TPageVideo& video, std::size_t position)
{
    TStreamFormat format;
    format.Id = std::to_string(position);
    format.Address = video.Address.Text();
    format.Height = video.Height;
    if (!video.InPieces) {
        std::string extension(VideoExtensionOf(video.Address.Path()));
        if (extension.empty())
            extension = ExtensionOfType(video.Type);
        format.Container = AsciiText::LowerCase(extension.empty() ? "" : extension.substr(1));
    }
    return format;
}

TVideoOffer FileOffer(const TWebAddress& address, const std::string& type)
{
    TVideoOffer offer;
    offer.Kind = fkFile;
    offer.Title = FileTitleOf(address);
    offer.Formats = {OfferedVideo(TPageVideo{address, MediaType(type), false, std::nullopt}, 0)};
    offer.FormatId = offer.Formats.front().Id;
    return offer;
}

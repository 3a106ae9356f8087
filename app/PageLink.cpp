#include "app/PageLink.h"

#include "app/DirectLink.h"
#include "app/PageClient.h"
#include "app/StreamLink.h"
#include "app/VideoLink.h"
#include "app/VideoOffer.h"
#include "http/TIdHTTP.h"
#include "page/PageVideo.h"
#include "page/VideoTypes.h"
#include "runtime/ResourceString.h"

namespace {

// What a page's answer is, by its Content-Type.
enum TAnswerKind { awHtml, awVideo, awPieces, awOther };

TAnswerKind AnswerKind(const std::string& contentType)
{
    const std::string type = MediaType(contentType);
    if (type.empty() || type == "text/html" || type == "application/xhtml+xml")
        return awHtml;
    if (IsPiecesType(type))
        return awPieces;
    return IsVideoType(type) ? awVideo : awOther;
}

std::string ExtensionOf(const TWebAddress& videoAddress, const std::string& type)
{
    std::string_view extension = VideoExtensionOf(videoAddress.Path());
    return extension.empty() ? ExtensionOfType(type) : std::string(extension);
}

// A video named after its own address.
TPageLink VideoItself(const TWebAddress& address, const std::string& type)
{
    return TPageLink{address, FileTitleOf(address), ExtensionOf(address, type)};
}

// What a page offered its video file among, and which the quality took.
void OfferChoices(const TPageReading& reading, TVideoOffer& offer)
{
    for (const TPageVideo& video : reading.Choices) {
        if (video.Address == reading.Video->Address && video.InPieces == reading.Video->InPieces &&
            offer.FormatId.empty())
            offer.FormatId = std::to_string(offer.Formats.size());
        offer.Formats.push_back(OfferedVideo(video, offer.Formats.size()));
    }
}

// What reading a page's video streamed in pieces takes: the page's client
// (its cookies go on), the choice, and where to describe what is found.
struct TStreamRequest {
    TIdCustomHTTP& Http;
    TVideoQuality Quality;
    const std::string& Language;
    std::optional<TStreamDescription>& Described;

    TPageLink Read(const TStreamAnswer& answer, const std::string& title) const
    {
        TStreamLink link = ReadStreamLink(Http, answer, title, Quality, Language, Described);
        return TPageLink{answer.Address, link.Title, link.Extension, std::move(link.Plan)};
    }
};

TPageLink VideoOfPage(const std::string& html, const std::string& pageAddress, const TStreamRequest& stream,
                      TVideoOffer& offer)
{
    TPageReading reading = ReadPageVideo(html, pageAddress, SizeFor(stream.Quality));
    offer.Title = reading.Title;
    if (!reading.Video)
        throw EPageWithoutVideo();
    // A page without a title lends its video the file's own name.
    const std::string title = reading.Title.empty() ? FileTitleOf(reading.Video->Address) : SafeFileName(reading.Title);
    if (reading.Video->InPieces)
        return stream.Read(FetchStreamAnswer(stream.Http, reading.Video->Address), title);
    OfferChoices(reading, offer);
    TPageLink link = VideoItself(reading.Video->Address, reading.Video->Type);
    link.Title = title;
    return link;
}

} // namespace

EPageWithoutVideo::EPageWithoutVideo() : Exception(LoadResString("This page holds no video to save")) {}

TPageLink ResolvePageLink(const TWebAddress& pageAddress, TVideoQuality quality, const std::string& language,
                          const TPageBounds& bounds, std::optional<TStreamDescription>& described, TVideoOffer& offer)
{
    TIdHTTP http;
    PreparePageClient(http, bounds);
    // Only a page or a playlist is read through: a video or anything else
    // is known by its head, and the video is fetched by the download
    // component.
    TAnswerKind kind = awHtml;
    http.OnHeadersAvailable = [&http, &kind](TObject*, TIdHeaderList*, bool& proceed) {
        kind = AnswerKind(http.Response().ContentType());
        if (http.Response().StatusNumber() / 100 == 2 && kind != awHtml && kind != awPieces)
            proceed = false;
    };
    // Everything but the fragment is asked for.
    std::string body = http.GetToString(pageAddress.WithTarget(pageAddress.Target()).Text());
    http.OnHeadersAvailable = nullptr; // the stream's requests are read through
    const TWebAddress finalAddress = TWebAddress::Parse(http.URL().AddressText()).value();
    const TStreamRequest stream{http, quality, language, described};
    switch (kind) {
    case awVideo:
        offer = FileOffer(finalAddress, http.Response().ContentType());
        return VideoItself(finalAddress, http.Response().ContentType());
    case awPieces:
        offer.Kind = fkStream;
        return stream.Read({std::move(body), finalAddress, http.Response().ContentType()}, FileTitleOf(pageAddress));
    case awOther: throw EPageWithoutVideo();
    case awHtml: break;
    }
    offer.Kind = fkPage;
    return VideoOfPage(body, finalAddress.Text(), stream, offer);
}

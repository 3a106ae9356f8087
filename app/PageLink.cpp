#include "app/PageLink.h"

#include "app/DirectLink.h"
#include "app/PageClient.h"
#include "app/VideoLink.h"
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

TSizePreference SizeFor(TVideoQuality quality)
{
    switch (quality) {
    case vqHighDefinition: return spLargest;
    case vqHighQuality: return spNearest360;
    case vqNormal:
    case vqMobile: break;
    }
    return spSmallest;
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

TPageLink VideoOfPage(const std::string& html, const std::string& pageAddress, TVideoQuality quality)
{
    TPageReading reading = ReadPageVideo(html, pageAddress, SizeFor(quality));
    if (!reading.Video)
        throw EPageWithoutVideo();
    if (reading.Video->InPieces)
        throw EVideoInPieces();
    // A page without a title lends its video the file's own name.
    TPageLink link = VideoItself(reading.Video->Address, reading.Video->Type);
    if (!reading.Title.empty())
        link.Title = SafeFileName(reading.Title);
    return link;
}

} // namespace

EPageWithoutVideo::EPageWithoutVideo() : Exception(LoadResString("This page holds no video to save")) {}

EVideoInPieces::EVideoInPieces()
    : Exception(LoadResString("This video is streamed in pieces (HLS or DASH), which cannot be saved as one file"))
{}

TPageLink ResolvePageLink(const TWebAddress& pageAddress, TVideoQuality quality, const TPageBounds& bounds)
{
    TIdHTTP http;
    PreparePageClient(http, bounds);
    // Only a page is read through: a video or anything else is known by its
    // head, and the video is fetched by the download component.
    TAnswerKind kind = awHtml;
    http.OnHeadersAvailable = [&http, &kind](TObject*, TIdHeaderList*, bool& proceed) {
        kind = AnswerKind(http.Response().ContentType());
        if (http.Response().StatusNumber() / 100 == 2 && kind != awHtml)
            proceed = false;
    };
    // Everything but the fragment is asked for.
    std::string body = http.GetToString(pageAddress.WithTarget(pageAddress.Target()).Text());
    const std::string finalAddress = http.URL().AddressText();
    switch (kind) {
    case awVideo: return VideoItself(TWebAddress::Parse(finalAddress).value(), http.Response().ContentType());
    case awPieces: throw EVideoInPieces();
    case awOther: throw EPageWithoutVideo();
    case awHtml: break;
    }
    return VideoOfPage(body, finalAddress, quality);
}

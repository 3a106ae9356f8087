#include "app/StreamLink.h"

#include "app/DirectLink.h"
#include "app/ManifestKind.h"
#include "app/StreamReading.h"
#include "http/TIdHTTP.h"
#include "media/MediaJoin.h"
#include "runtime/ResourceString.h"

ELiveStream::ELiveStream() : Exception(LoadResString("This is a live stream; only recorded videos can be saved")) {}

EProtectedStream::EProtectedStream()
    : Exception(LoadResString("This video is protected against copying (DRM) and cannot be saved"))
{}

ENoStreamManifest::ENoStreamManifest()
    : Exception(LoadResString("This address leads to neither an HLS playlist nor a DASH manifest"))
{}

TStreamAnswer FetchStreamAnswer(TIdCustomHTTP& http, const TWebAddress& address)
{
    std::string text = http.GetToString(address.WithTarget(address.Target()).Text());
    return TStreamAnswer{std::move(text), TWebAddress::Parse(http.URL().AddressText()).value(),
                         http.Response().ContentType()};
}

TStreamLink ReadStreamLink(TIdCustomHTTP& http, const TStreamAnswer& answer, const std::string& title,
                           TVideoQuality quality, const std::string& language,
                           std::optional<TStreamDescription>& described)
{
    const TPiecesFormat kind = ManifestKind(answer.ContentType, answer.Address.Path(), answer.Text);
    if (kind == pfNone)
        throw ENoStreamManifest();
    TStreamDescription& description = described.emplace();
    description.Kind = kind;
    description.Address = answer.Address.Text();
    description.Title = title;
    const TStreamWish wish{SizeFor(quality), language};
    TStreamLink link;
    link.Plan = kind == pfHls ? HlsStreamPlan(http, answer, wish, description)
                              : DashStreamPlan(http, answer, wish, description);
    link.Title = title;
    link.Extension = StreamExtension(link.Plan.Codecs);
    return link;
}

std::string StreamExtension(const std::string& codecs)
{
    return ContainerExtension(ContainerForCodecs(codecs));
}

TStreamLink ResolveStreamLink(const TWebAddress& address, TVideoQuality quality, const std::string& language,
                              const TPageBounds& bounds, std::optional<TStreamDescription>& described)
{
    TIdHTTP http;
    PreparePageClient(http, bounds);
    return ReadStreamLink(http, FetchStreamAnswer(http, address), FileTitleOf(address), quality, language, described);
}

#include "app/VideoDownload.h"

#include "app/AddressKind.h"
#include "app/DirectLink.h"
#include "app/PageLink.h"
#include "app/StreamLink.h"
#include "app/VideoLink.h"
#include "page/VideoTypes.h"
#include "runtime/ResourceString.h"

namespace {

// A direct link is its own stream and its only format; its file's name is
// the title.
TVideoSource DirectLinkSource(const TWebAddress& address, TVideoOffer& offer)
{
    offer = FileOffer(address, TypeOfPath(address.Path()));
    std::string name = DirectLinkFileName(address);
    return TVideoSource{address, name, name, true};
}

// A direct link to a playlist or manifest: the pieces must be files.
TVideoSource StreamSource(const TWebAddress& address, TVideoQuality quality, const std::string& language,
                          const TPageBounds& bounds, std::optional<TStreamDescription>& described)
{
    TStreamLink link = ResolveStreamLink(address, quality, language, bounds, described);
    return TVideoSource{TWebAddress::Parse(link.Plan.ManifestAddress).value(), link.Title, link.ProposedFileName(),
                        true, std::move(link.Plan)};
}

// A page's video is a file too: a web page in its place is refused.
TVideoSource PageSource(const TWebAddress& address, TVideoQuality quality, const std::string& language,
                        const TPageBounds& bounds, std::optional<TStreamDescription>& described, TVideoOffer& offer)
{
    TPageLink link = ResolvePageLink(address, quality, language, bounds, described, offer);
    return TVideoSource{link.VideoAddress, link.Title, link.ProposedFileName(), true, std::move(link.Stream)};
}

// A watch page's video, through the site's own pages.
TVideoSource SiteSource(const std::string& address, TVideoQuality quality, const std::string& siteHost,
                        const TPageBounds& bounds, TVideoOffer& offer)
{
    offer.Kind = fkWatchPage;
    std::optional<TVideoLink> link = ResolveVideoLink(address, quality, siteHost, bounds);
    if (!link)
        throw EVideoNotFound();
    offer.Title = link->RecordTitle;
    offer.Formats = link->Formats;
    offer.FormatId = link->FormatId;
    return TVideoSource{TWebAddress::Parse(link->DownloadAddress(siteHost)).value(), link->Title,
                        link->ProposedFileName()};
}

} // namespace

EVideoNotFound::EVideoNotFound() : Exception(LoadResString("The site's answer holds no video to save")) {}

TPageBounds& PageBounds()
{
    static TPageBounds bounds;
    return bounds;
}

TResolution ResolveVideo(const TVideoAddress& address, TVideoQuality quality, const std::string& language,
                         const std::string& siteHost, const TPageBounds& bounds)
{
    TResolution resolution;
    try {
        switch (address.Kind) {
        case akDirectLink:
            if (IsPiecesPath(address.Web->Path())) {
                resolution.Offer.Kind = fkStream;
                resolution.Video = StreamSource(*address.Web, quality, language, bounds, resolution.Description);
            } else {
                resolution.Video = DirectLinkSource(*address.Web, resolution.Offer);
            }
            break;
        case akWebPage:
            resolution.Video =
                PageSource(*address.Web, quality, language, bounds, resolution.Description, resolution.Offer);
            break;
        case akWatchPage:
        case akNone: resolution.Video = SiteSource(address.Text, quality, siteHost, bounds, resolution.Offer); break;
        }
    } catch (...) {
        resolution.Failure = std::current_exception();
    }
    return resolution;
}

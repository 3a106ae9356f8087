#include "app/VideoDownload.h"

#include "app/AddressKind.h"
#include "app/DirectLink.h"
#include "app/PageLink.h"
#include "app/VideoLink.h"
#include "runtime/ResourceString.h"

namespace {

// A direct link is its own stream; its file's name is the title.
TVideoSource DirectLinkSource(const TWebAddress& address)
{
    std::string name = DirectLinkFileName(address);
    return TVideoSource{address, name, name, true};
}

// A page's video is a file too: a web page in its place is refused.
TVideoSource PageSource(const TWebAddress& address, TVideoQuality quality, const TPageBounds& bounds)
{
    TPageLink link = ResolvePageLink(address, quality, bounds);
    return TVideoSource{link.VideoAddress, link.Title, link.ProposedFileName(), true};
}

// A watch page's video, through the site's own pages.
TVideoSource SiteSource(const std::string& address, TVideoQuality quality, const std::string& siteHost,
                        const TPageBounds& bounds)
{
    std::optional<TVideoLink> link = ResolveVideoLink(address, quality, siteHost, bounds);
    if (!link)
        throw EVideoNotFound();
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

TResolution ResolveVideo(const TVideoAddress& address, TVideoQuality quality, const std::string& siteHost,
                         const TPageBounds& bounds)
{
    TResolution resolution;
    try {
        switch (address.Kind) {
        case akDirectLink: resolution.Video = DirectLinkSource(*address.Web); break;
        case akWebPage: resolution.Video = PageSource(*address.Web, quality, bounds); break;
        case akWatchPage:
        case akNone: resolution.Video = SiteSource(address.Text, quality, siteHost, bounds); break;
        }
    } catch (...) {
        resolution.Failure = std::current_exception();
    }
    return resolution;
}

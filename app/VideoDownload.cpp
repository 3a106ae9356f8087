#include "app/VideoDownload.h"

#include "app/AddressKind.h"
#include "app/DirectLink.h"
#include "app/PageLink.h"
#include "app/VideoLink.h"
#include "grabber/TJvHttpsUrlGrabber.h"
#include "runtime/AsciiText.h"
#include "runtime/ResourceString.h"

#include <chrono>
#include <cstdlib>

namespace {

// A direct link is its own stream; its file's name is the title.
TVideoSource DirectLinkSource(const std::string& address)
{
    std::string name = DirectLinkFileName(address);
    return TVideoSource{address, name, name, true};
}

// A page's video is a file too: a web page in its place is refused.
TVideoSource PageSource(const std::string& address, TVideoQuality quality, const TPageBounds& bounds)
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
    return TVideoSource{link->DownloadAddress(siteHost), link->Title, link->ProposedFileName()};
}

} // namespace

EVideoNotFound::EVideoNotFound() : Exception(LoadResString("The site's answer holds no video to save")) {}

TPageBounds& PageBounds()
{
    static TPageBounds bounds;
    return bounds;
}

TResolution ResolveVideo(const std::string& address, TVideoQuality quality, const std::string& siteHost,
                         const TPageBounds& bounds)
{
    TResolution resolution;
    try {
        switch (AddressKind(address)) {
        case akDirectLink: resolution.Video = DirectLinkSource(address); break;
        case akWebPage: resolution.Video = PageSource(address, quality, bounds); break;
        case akWatchPage:
        case akNone: resolution.Video = SiteSource(address, quality, siteHost, bounds); break;
        }
    } catch (...) {
        resolution.Failure = std::current_exception();
    }
    return resolution;
}

namespace {

constexpr int kRetries = 5;

std::chrono::milliseconds RetrySecond()
{
    const char* text = std::getenv("SKERROW_RETRY_SECOND_MS");
    std::optional<std::uint64_t> ms = text ? AsciiText::ParseUnsigned(text) : std::nullopt;
    return std::chrono::milliseconds(ms && *ms <= 1000 ? static_cast<long>(*ms) : 1000);
}

} // namespace

std::unique_ptr<TJvHttpUrlGrabber> NewStreamGrabber(const std::string& streamAddress)
{
    if (TJvHttpsUrlGrabber::CanGrab(streamAddress))
        return std::make_unique<TJvHttpsUrlGrabber>();
    return std::make_unique<TJvHttpUrlGrabber>();
}

void StartDownload(TJvHttpUrlGrabber& grabber, const TVideoSource& video, const std::string& target,
                   TJvResumeMode resume)
{
    grabber.SetUrl(video.StreamAddress);
    grabber.SetFileName(target);
    grabber.SetRefuseWebPages(video.RefuseWebPages);
    grabber.SetRetries(kRetries);
    grabber.SetRetrySecond(RetrySecond());
    grabber.SetResumeMode(resume);
    grabber.Start();
}

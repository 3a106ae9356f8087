#include "app/VideoDownload.h"

#include "app/AddressKind.h"
#include "app/DirectLink.h"
#include "app/PageLink.h"
#include "grabber/TJvHttpsUrlGrabber.h"
#include "runtime/AsciiText.h"

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
TVideoSource PageSource(const std::string& address, TVideoQuality quality)
{
    TPageLink link = ResolvePageLink(address, quality);
    return TVideoSource{link.VideoAddress, link.Title, link.ProposedFileName(), true};
}

// A watch page's video, through the site's own pages; nothing when they
// hold none.
std::optional<TVideoSource> SiteSource(const std::string& address, TVideoQuality quality, const std::string& siteHost)
{
    std::optional<TVideoLink> link = ResolveVideoLink(address, quality, siteHost);
    if (!link)
        return std::nullopt;
    return TVideoSource{link->DownloadAddress(siteHost), link->Title, link->ProposedFileName()};
}

} // namespace

TResolution ResolveVideo(const std::string& address, TVideoQuality quality, const std::string& siteHost)
{
    TResolution resolution;
    try {
        switch (AddressKind(address)) {
        case akDirectLink: resolution.Video = DirectLinkSource(address); break;
        case akWebPage: resolution.Video = PageSource(address, quality); break;
        case akWatchPage:
        case akNone: resolution.Video = SiteSource(address, quality, siteHost); break;
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

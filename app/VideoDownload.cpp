#include "app/VideoDownload.h"

#include "app/AddressKind.h"
#include "app/DirectLink.h"
#include "grabber/TJvHttpsUrlGrabber.h"

namespace {

// A direct link is its own stream; its file's name is the title.
TVideoSource DirectLinkSource(const std::string& address)
{
    std::string name = DirectLinkFileName(address);
    return TVideoSource{address, name, name, true};
}

} // namespace

TResolution ResolveVideo(const std::string& address, TVideoQuality quality, const std::string& siteHost)
{
    TResolution resolution;
    if (AddressKind(address) == akDirectLink) {
        resolution.Video = DirectLinkSource(address);
        return resolution;
    }
    try {
        std::optional<TVideoLink> link = ResolveVideoLink(address, quality, siteHost);
        if (link)
            resolution.Video = TVideoSource{link->DownloadAddress(siteHost), link->Title, link->ProposedFileName()};
    } catch (...) {
        resolution.Failure = std::current_exception();
    }
    return resolution;
}

std::unique_ptr<TJvHttpUrlGrabber> NewStreamGrabber(const std::string& streamAddress)
{
    if (TJvHttpsUrlGrabber::CanGrab(streamAddress))
        return std::make_unique<TJvHttpsUrlGrabber>();
    return std::make_unique<TJvHttpUrlGrabber>();
}

void StartDownload(TJvHttpUrlGrabber& grabber, const TVideoSource& video, const std::string& target)
{
    grabber.SetUrl(video.StreamAddress);
    grabber.SetFileName(target);
    grabber.SetRefuseWebPages(video.RefuseWebPages);
    grabber.Start();
}

#include "app/VideoDownload.h"

#include "grabber/TJvHttpUrlGrabber.h"
#include "runtime/ResourceString.h"

EVideoNotFound::EVideoNotFound() : Exception(LoadResString("The site's answer holds no video to save")) {}

TPageBounds& PageBounds()
{
    static TPageBounds bounds;
    return bounds;
}

TResolution ResolveVideo(const std::string& watchAddress, TVideoQuality quality, const std::string& siteHost,
                         const TPageBounds& bounds)
{
    TResolution resolution;
    try {
        std::optional<TVideoLink> link = ResolveVideoLink(watchAddress, quality, siteHost, bounds);
        if (!link)
            throw EVideoNotFound();
        resolution.Video = TVideoSource{link->DownloadAddress(siteHost), link->Title, link->ProposedFileName()};
    } catch (...) {
        resolution.Failure = std::current_exception();
    }
    return resolution;
}

void StartDownload(TJvHttpUrlGrabber& grabber, const TVideoSource& video, const std::string& target)
{
    grabber.SetUrl(video.StreamAddress);
    grabber.SetFileName(target);
    grabber.Start();
}

#include "app/VideoDownload.h"

#include "grabber/TJvHttpUrlGrabber.h"

TResolution ResolveVideo(const std::string& watchAddress, TVideoQuality quality, const std::string& siteHost)
{
    TResolution resolution;
    try {
        std::optional<TVideoLink> link = ResolveVideoLink(watchAddress, quality, siteHost);
        if (link)
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

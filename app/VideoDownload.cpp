#include "app/VideoDownload.h"

#include "grabber/TJvHttpUrlGrabber.h"
#include "runtime/AsciiText.h"

#include <chrono>
#include <cstdlib>

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

namespace {

constexpr int kRetries = 5;

std::chrono::milliseconds RetrySecond()
{
    const char* text = std::getenv("SKERROW_RETRY_SECOND_MS");
    std::optional<std::uint64_t> ms = text ? AsciiText::ParseUnsigned(text) : std::nullopt;
    return std::chrono::milliseconds(ms && *ms <= 1000 ? static_cast<long>(*ms) : 1000);
}

} // namespace

void StartDownload(TJvHttpUrlGrabber& grabber, const TVideoSource& video, const std::string& target,
    TJvResumeMode resume)
{
    grabber.SetUrl(video.StreamAddress);
    grabber.SetFileName(target);
    grabber.SetRetries(kRetries);
    grabber.SetRetrySecond(RetrySecond());
    grabber.SetResumeMode(resume);
    grabber.Start();
}

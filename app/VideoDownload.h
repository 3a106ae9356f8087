#pragma once

#include "app/PageClient.h"
#include "app/VideoQuality.h"
#include "grabber/TJvGrabberTypes.h"
#include "runtime/Exception.h"

#include <exception>
#include <memory>
#include <optional>
#include <string>

class TJvHttpUrlGrabber;

// One plan for the window and the command line: resolve the address (see
// AddressKind.h for the kinds), let the caller choose the target (the save
// dialog, --output), then start the download component on it.

// A video ready to be fetched.
struct TVideoSource {
    std::string StreamAddress;    // what the download component fetches
    std::string Title;            // decoded and safe as a file name
    std::string ProposedFileName; // the title with the extension
    // A direct link must lead to a file: a web page in its place is refused.
    bool RefuseWebPages = false;
};

// What resolving came to: a video, or the failure that explains why not
// (EVideoNotFound when the site's answers hold no video, EPageWithoutVideo
// when another page shows none).
struct TResolution {
    std::optional<TVideoSource> Video;
    std::exception_ptr Failure;
};

class EVideoNotFound : public Exception {
public:
    EVideoNotFound();
};

// The bounds of every resolution's page requests; tests lower them.
TPageBounds& PageBounds();

// Resolves on the calling thread: a watch page with page requests of its
// own (blocking, within bounds), a direct link with none (the quality does
// not apply), any other page with one request (the quality choosing among
// its sizes). Touches nothing of Qt or of the windows.
TResolution ResolveVideo(const std::string& address, TVideoQuality quality, const std::string& siteHost,
                         const TPageBounds& bounds);

// The download component for a stream address: the secure one for https.
std::unique_ptr<TJvHttpUrlGrabber> NewStreamGrabber(const std::string& streamAddress);

// Starts the component on the video, saving into target. The download
// survives a faltering network: transient failures are tried again five
// times, and a part that an earlier run left beside the target is continued
// unless resume says to start over. SKERROW_RETRY_SECOND_MS shortens the
// waits between tries (for the tests).
void StartDownload(TJvHttpUrlGrabber& grabber, const TVideoSource& video, const std::string& target,
                   TJvResumeMode resume = rmContinue);

#pragma once

#include "app/PageClient.h"
#include "app/VideoAddress.h"
#include "app/VideoQuality.h"
#include "runtime/Exception.h"

#include <exception>
#include <memory>
#include <optional>
#include <string>

// One plan for the window and the command line: resolve the address (see
// AddressKind.h for the kinds), let the caller choose the target (the save
// dialog, --output), then run a download session on it (TDownloadSession.h).

// A video ready to be fetched.
struct TVideoSource {
    TWebAddress StreamAddress;    // what the download component fetches
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
TResolution ResolveVideo(const TVideoAddress& address, TVideoQuality quality, const std::string& siteHost,
                         const TPageBounds& bounds);

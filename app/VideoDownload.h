#pragma once

#include "app/PageClient.h"
#include "app/StreamDescription.h"
#include "app/VideoAddress.h"
#include "app/VideoOffer.h"
#include "app/VideoQuality.h"
#include "runtime/Exception.h"
#include "stream/StreamPlan.h"

#include <exception>
#include <memory>
#include <optional>
#include <string>

// One plan for the window and the command line: resolve the address (see
// AddressKind.h for the kinds), let the caller choose the target (the save
// dialog, --output), then run a download session on it (TDownloadSession.h).

// A video ready to be fetched.
struct TVideoSource {
    // What the download component fetches: the video file, or the playlist
    // or manifest of a video streamed in pieces (as it was reached).
    TWebAddress StreamAddress;
    std::string Title;            // decoded and safe as a file name
    std::string ProposedFileName; // the title with the extension
    // A direct link must lead to a file: a web page in its place is refused.
    bool RefuseWebPages = false;
    // A video streamed in pieces (HLS or DASH): the pieces to fetch and join
    // instead of one file. Its name's extension is that of the container
    // ContainerForCodecs (media/MediaJoin.h) gives for Stream->Codecs.
    std::optional<TStreamPlan> Stream = std::nullopt;
};

// What resolving came to: a video, or the failure that explains why not
// (EVideoNotFound when the site's answers hold no video, EPageWithoutVideo
// when another page shows none, ELiveStream and EProtectedStream for a
// stream that cannot be saved, EStreamManifest for one that cannot be read).
struct TResolution {
    std::optional<TVideoSource> Video;
    std::exception_ptr Failure;
    // What the playlist or manifest of a video streamed in pieces was found
    // to hold, once one was read: also when it was refused or failed later.
    std::optional<TStreamDescription> Description;
    // What the address was found to be and what it offered besides a
    // stream, as far as it was read.
    TVideoOffer Offer;
};

class EVideoNotFound : public Exception {
public:
    EVideoNotFound();
};

// The bounds of every resolution's page requests; tests lower them.
TPageBounds& PageBounds();

// Resolves on the calling thread: a watch page with page requests of its
// own (blocking, within bounds), a direct link to a file with none (the
// quality does not apply), any other page with one request (the quality
// choosing among its sizes). A video streamed in pieces (a direct link to a
// playlist or manifest, or a page's) takes the requests of its playlists
// and index too: the quality chooses its format, the language (ISO 639-1,
// "es"; the interface's) its audio. Touches nothing of Qt or of the
// windows.
TResolution ResolveVideo(const TVideoAddress& address, TVideoQuality quality, const std::string& language,
                         const std::string& siteHost, const TPageBounds& bounds);

#pragma once

#include "app/PageClient.h"
#include "app/StreamDescription.h"
#include "app/VideoOffer.h"
#include "app/VideoQuality.h"
#include "http/TWebAddress.h"
#include "runtime/Exception.h"
#include "stream/StreamPlan.h"

#include <optional>
#include <string>

// The video of an ordinary web page: any http or https address that is
// neither the site's watch page nor a direct link.

// The page shows no video, neither a file nor one streamed in pieces.
class EPageWithoutVideo : public Exception {
public:
    EPageWithoutVideo();
};

struct TPageLink {
    // The video file, or the playlist or manifest of a video streamed in
    // pieces as it was reached.
    TWebAddress VideoAddress;
    std::string Title;     // decoded and safe as a file name
    std::string Extension; // a file's from its path, else its type (may be empty); a stream's container's
    std::optional<TStreamPlan> Stream = std::nullopt; // what to fetch of a video streamed in pieces

    std::string ProposedFileName() const { return Title + Extension; }
};

// One GET of the page on a client of its own (see PageClient.h). An answer
// of a video type is the video itself, named after its address; an answer
// that is a playlist or manifest is read as one (see StreamLink.h); an HTML
// answer is searched for its video (see page/PageVideo.h), the quality
// choosing among sizes (SizeFor), and names it with its title. A page's
// video streamed in pieces is read on the same client (its cookies kept),
// its audio chosen for the language; what was found of it is described in
// described, also when it is refused. What the address is, the page's
// title and the files its video was chosen among go into offer as they are
// found. Raises EPageWithoutVideo when there is nothing to save, what
// reading a stream raises, and what a failed request raises.
TPageLink ResolvePageLink(const TWebAddress& pageAddress, TVideoQuality quality, const std::string& language,
                          const TPageBounds& bounds, std::optional<TStreamDescription>& described, TVideoOffer& offer);

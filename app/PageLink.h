#pragma once

#include "app/PageClient.h"
#include "app/VideoQuality.h"
#include "http/TWebAddress.h"
#include "runtime/Exception.h"

#include <string>

// The video of an ordinary web page: any http or https address that is
// neither the site's watch page nor a direct link.

// The page shows no video file, not even one in pieces.
class EPageWithoutVideo : public Exception {
public:
    EPageWithoutVideo();
};

// The video comes only as a stream in pieces (HLS or DASH).
class EVideoInPieces : public Exception {
public:
    EVideoInPieces();
};

struct TPageLink {
    TWebAddress VideoAddress;
    std::string Title;     // decoded and safe as a file name
    std::string Extension; // from the video's path, else from its type; may be empty

    std::string ProposedFileName() const { return Title + Extension; }
};

// One GET of the page on a client of its own (see PageClient.h). An answer
// of a video type is the video itself, named after its address; an HTML
// answer is searched for its video (see page/PageVideo.h), the quality
// choosing among sizes (high definition the largest, high quality the one
// nearest 360 lines, normal and mobile the smallest), and names it with its
// title. Raises EPageWithoutVideo or EVideoInPieces when there is nothing to
// save, and what a failed request raises.
TPageLink ResolvePageLink(const TWebAddress& pageAddress, TVideoQuality quality, const TPageBounds& bounds = {});

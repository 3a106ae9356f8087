#pragma once

#include "page/PageVideo.h"
#include "stream/StreamTypes.h"

#include <cstddef>
#include <string>
#include <vector>

// What an address was found to be and to offer, for telling the user
// (--info). A stream's own formats and audio are TStreamDescription's.

enum TFoundKind {
    fkWatchPage, // the site's watch page
    fkFile,      // a video file: a direct link, or an address that answers with one
    fkPage,      // an ordinary page that shows a video, a file or a stream
    fkStream,    // an HLS playlist or a DASH manifest itself
};

struct TVideoOffer {
    TFoundKind Kind = fkPage;
    // As the site's record or the page gives it, decoded but not made safe
    // as a file name (empty when it gives none); a file's name without its
    // extension.
    std::string Title;
    // The site's formats, the sizes a page offers its video in, or a file
    // alone, in the order given (their Ids their positions, but the site's
    // own codes); none for a stream.
    std::vector<TStreamFormat> Formats;
    std::string FormatId; // the one the quality took
};

// A video file or a page's stream as the format at a position among those
// offered: its container told by the extension of its address, else by its
// type ("mp4"; none for a stream, whose pieces tell it), its height the
// page's.
TStreamFormat OfferedVideo(const TPageVideo& video, std::size_t position);

// A video file alone (its type may be empty): its only format, taken.
TVideoOffer FileOffer(const TWebAddress& address, const std::string& type);

#pragma once

#include "http/TWebAddress.h"
#include "page/SizePreference.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A video that a page shows: a file, or the playlist or manifest of a
// video streamed in pieces (HLS or DASH).
struct TPageVideo {
    TWebAddress Address; // absolute, http or https
    std::string Type;    // its media type as the page declares it or its name tells; may be empty
    bool InPieces = false;
    std::optional<int> Height; // the height a <source> tells (see SourceHeight.h)
};

// What an ordinary web page says about its video.
struct TPageReading {
    std::optional<TPageVideo> Video;
    // og:title, else the <title>: entities decoded, runs of blanks and line
    // breaks made one blank, trimmed. May be empty.
    std::string Title;
    // What the video was chosen among, in the page's order: the sources of
    // its <video> element, files and streams alike; or the video alone.
    std::vector<TPageVideo> Choices;
};

// Finds the video of a page (its HTML, and the address it was read from)
// as a browser would show it, taking the first of these that leads to a
// video file: the Open Graph tags og:video:secure_url, og:video:url and
// og:video; a <video src>; the <source> elements of a <video> (video/mp4
// before video/webm before the others, or by size when several tell their
// height); the contentUrl of a JSON-LD VideoObject. Relative addresses are
// read against the page's address and its <base href>. Addresses that lead
// elsewhere than to a video (a player page, a type that is no video's) are
// passed over.
//
// A stream in pieces (by its type or its name) is found in the same order,
// apart from the files. The page's video is its file; the stream only when
// the page offers no file, or when both are <source> elements that tell
// their height and the stream's height suits the size preference better.
// At an equal height the file wins: it needs no joining.
TPageReading ReadPageVideo(std::string_view html, const std::string& pageAddress, TSizePreference size);

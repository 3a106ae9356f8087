#pragma once

#include <string>
#include <string_view>
#include <vector>

// A video as a page describes it in its linked data (a schema.org
// VideoObject in JSON-LD).
struct TLinkedVideo {
    std::string ContentUrl;     // the video file, as written
    std::string EncodingFormat; // its media type, when given
};

// Every VideoObject with a contentUrl in one JSON-LD text, in the order they
// are written, wherever they stand (at the top, in an array or @graph, as
// the value of another object's member). None when the text is no JSON.
std::vector<TLinkedVideo> LinkedVideos(std::string_view json);

#pragma once

#include "page/VideoTypes.h"
#include "stream/StreamTypes.h"

#include <cstddef>
#include <string>
#include <vector>

// What the playlist or manifest of a video streamed in pieces was found to
// hold, and what was chosen from it: for telling the user, also when the
// stream is refused (a live or protected one is described as far as it was
// read).
struct TStreamDescription {
    TPiecesFormat Kind = pfNone; // pfHls or pfDash
    std::string Address;         // the playlist or manifest as it was reached, after redirects
    std::string Title;           // what the file is named after
    // Every video format (HLS variant, DASH Representation) and every audio
    // rendition, in the order given; none for a lone HLS media playlist.
    std::vector<TStreamFormat> Formats;
    std::vector<TAudioRendition> Audio;
    // The Ids of the format the quality chose and of the audio the language
    // chose; an empty AudioId when the video carries its own sound.
    std::string VideoId, AudioId;
    // The codecs of the two together, which the file's container follows
    // (see StreamExtension); empty when the video's are unknown.
    std::string Codecs;
    // The segments of the chosen video and audio, once their lists are read.
    std::size_t VideoSegments = 0, AudioSegments = 0;
    double Duration = 0;                   // seconds: the video's, or the manifest's; 0 when unknown
    TStreamProtection Protection = spNone; // the strongest seen: AES-128 is saved, DRM refused
    bool Live = false;                     // a stream that may still grow: refused
};

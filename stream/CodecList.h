#pragma once

#include <string>
#include <string_view>

// What a list of codecs says, as an HLS CODECS attribute or a DASH codecs
// attribute writes it ("avc1.64001f,mp4a.40.2").

// The kinds of media a list names. A codec the reader does not know
// (subtitles, timed metadata, something new) counts as other.
struct TCodecKinds {
    bool Video = false;
    bool Audio = false;
    bool Other = false;

    // Names audio and nothing else.
    bool AudioOnly() const { return Audio && !Video && !Other; }
};

TCodecKinds CodecKindsOf(std::string_view codecs);

// The codecs' sample entries without their profiles, in lower case, sorted
// and joined by commas ("avc1,mp4a" for "mp4a.40.2, avc1.64001f"): what
// two tracks must share to be joined into one file.
std::string CodecFamilies(std::string_view codecs);

// The audio codecs of a list, as written and joined by commas.
std::string AudioCodecs(std::string_view codecs);

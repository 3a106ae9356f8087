#pragma once

#include "media/MediaJoin.h"

extern "C" {
#include <libavcodec/codec_id.h>
}

#include <string_view>
#include <vector>

// What each container holds, and the container a set of codecs goes into.

// The codec an RFC 6381 name stands for ("avc1.64001f", "mp4a.40.2",
// "ec-3"); AV_CODEC_ID_NONE for a name not known here.
AVCodecID CodecOfName(std::string_view name);
// Whether a name is a subtitle or caption codec, which the join leaves out.
bool IsTextCodecName(std::string_view name);

// Whether the container holds the codec in a file that players take, by
// the codec's name alone (no FFmpeg library is asked): the joiner also asks
// the muxer itself. MP4 is limited to what players commonly read there.
bool ContainerHolds(TContainer container, AVCodecID codec);
TContainer ContainerForCodecIds(const std::vector<AVCodecID>& codecs);

// The muxer's name ("mp4", "matroska", "webm") and the name a message shows.
const char* ContainerMuxer(TContainer container);
const char* ContainerTitle(TContainer container);

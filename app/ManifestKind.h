#pragma once

#include "page/VideoTypes.h"

#include <string_view>

// Which reader a fetched playlist or manifest needs: the one its answer's
// Content-Type names, else the one its path's extension names (".m3u8",
// ".mpd"), else the one its text calls for: "#EXTM3U" at the start (after a
// byte-order mark) for HLS, an XML document whose root is MPD (of any
// namespace prefix) for DASH. pfNone when none does.
TPiecesFormat ManifestKind(std::string_view contentType, std::string_view path, std::string_view text);

#pragma once

#include <string>
#include <string_view>

// What names and media types say about a video: the extensions of video
// files and their types, and the streams that come in pieces (HLS and DASH:
// a playlist or manifest of short segments, to be joined into one file).

// The extension of a video file that a path ends with, as it is written
// (".mp4", ".WebM"); empty when it ends otherwise. Any letter case.
std::string_view VideoExtensionOf(std::string_view path);

// The media type of a Content-Type, without parameters, in lower case
// ("video/mp4" for "Video/MP4; codecs=avc1").
std::string MediaType(std::string_view contentType);

// Whether a type names a video file: "video/..." that is no stream in pieces.
bool IsVideoType(std::string_view contentType);

// The extension a video type is saved with (".mp4" for video/mp4); empty
// for a type without one.
std::string ExtensionOfType(std::string_view contentType);

// The type of a path's video extension ("video/webm" for ".webm"); empty
// when the path has none.
std::string TypeOfPath(std::string_view path);

// The two ways of streaming a video in pieces.
enum TPiecesFormat {
    pfNone, // no stream in pieces
    pfHls,  // an HLS playlist
    pfDash, // a DASH manifest (MPD)
};

// A stream in pieces, told by its type (an HLS or DASH playlist) or by a
// path that ends in ".m3u8" or ".mpd" in any letter case.
TPiecesFormat PiecesFormatOfType(std::string_view contentType);
TPiecesFormat PiecesFormatOfPath(std::string_view path);
bool IsPiecesType(std::string_view contentType);
bool IsPiecesPath(std::string_view path);

// The extension of a playlist or manifest that a path ends with, as it is
// written (".m3u8", ".MPD"); empty when it ends otherwise.
std::string_view PiecesExtensionOf(std::string_view path);

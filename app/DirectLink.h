#pragma once

#include "http/TWebAddress.h"

#include <string>

// A direct link: a web address whose path, before any "?" or "#", ends in
// any letter case with the extension of a video file (.mp4 .m4v .webm .mkv
// .mov .flv .3gp .ogv .avi) or of the playlist or manifest of a video
// streamed in pieces (.m3u8 .mpd, see StreamLink.h).
bool IsDirectLink(const TWebAddress& address);

// The file's own name, as the save dialog proposes it: the last segment of
// the path, percent-decoded, its name made safe as a title is and its
// extension kept ("video" when nothing of the name is left).
std::string DirectLinkFileName(const TWebAddress& address);

// That name without the extension of a video file, playlist or manifest,
// for an address of any file: "talk" for .../talk.mp4, .../talk.m3u8 and
// .../talk?id=3.
std::string FileTitleOf(const TWebAddress& address);

#pragma once

#include "page/SizePreference.h"
#include "stream/StreamTypes.h"

#include <string>
#include <vector>

// Which format and audio of a stream in pieces to save: the rule ordinary
// pages follow among the sizes of one video, for the same quality buttons.

// Among the formats that tell their height, the one the preference takes
// (see SizePreference.h); the bandwidth breaks ties (the higher, but the
// lower for the smallest), then the order given. When no format tells its
// height: by bandwidth, spLargest the highest, spSmallest the lowest, a
// nearest rule the middle one of the formats sorted by bandwidth (the higher
// of two middle ones). A format without bandwidth counts as the lowest. None
// for no formats.
const TStreamFormat* ChooseFormat(const std::vector<TStreamFormat>& formats, TSizePreference preference);

// The audio rendition of a group (an empty group: of any) in a language
// (ISO 639-1 such as "es"; a rendition's "es-ES" is Spanish too), the
// group's default among several in it; else the group's default one, else
// its first. None when no rendition of the group has an address: the video
// carries the audio. A chosen rendition without an address says the same
// (the group's default is the video's own audio). HLS asks for the video
// format's AudioGroup: a format without one carries its audio.
const TAudioRendition* ChooseAudio(const std::vector<TAudioRendition>& audio, const std::string& group,
                                   const std::string& language);

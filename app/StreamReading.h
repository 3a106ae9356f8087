#pragma once

#include "app/StreamDescription.h"
#include "app/StreamLink.h"
#include "page/PageVideo.h"
#include "stream/StreamPlan.h"

#include <functional>
#include <string>

class TIdCustomHTTP;

// The two halves of ReadStreamLink (StreamLink.h), and what they share.

// What the choice among a stream's formats and audio renditions follows.
struct TStreamWish {
    TSizePreference Size = spNearest360;
    std::string Language; // the interface's, for the audio
};

// Each reads its text, describes what it found, refuses what cannot be
// saved before fetching anything more, then fetches what the plan needs.
TStreamPlan HlsStreamPlan(TIdCustomHTTP& http, const TStreamAnswer& answer, const TStreamWish& wish,
                          TStreamDescription& description);
TStreamPlan DashStreamPlan(TIdCustomHTTP& http, const TStreamAnswer& answer, const TStreamWish& wish,
                           TStreamDescription& description);

// Raises EProtectedStream for a stream under DRM, then ELiveStream for a
// live one.
void RefuseUnsavable(const TStreamDescription& description);

// Fetches the pieces of a chosen format or rendition, by its Id and address
// (HLS a media playlist, DASH what DashTrack asks for), adding to the
// description what they tell of live and protection.
using TTrackFetch = std::function<TStreamTrack(const std::string& id, const std::string& address)>;

// The plan of a chosen format and separate audio (none when the video
// carries its sound): the choice described and checked, their pieces
// fetched and checked again, the codecs of both together (the video's list
// when it names audio already, as an HLS variant's does; none when the
// video's are unknown), their bandwidths added (an HLS rendition tells
// none: its variant's counts it).
TStreamPlan ChosenPlan(const std::string& manifestAddress, const TStreamFormat& format, const TAudioRendition* audio,
                       const TTrackFetch& fetch, TStreamDescription& description);

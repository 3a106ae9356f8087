#pragma once

#include "stream/StreamTypes.h"

#include <string>
#include <string_view>
#include <vector>

// An HLS playlist: a master playlist that lists variants and audio
// renditions, or a media playlist that lists one rendition's segments.
struct THlsPlaylist {
    bool Master = false;
    std::vector<TStreamFormat> Formats;    // master: the variants that carry video, in the order given
    std::vector<TAudioRendition> Audio;    // master: EXT-X-MEDIA audio and audio-only variants, in the order given
    TStreamTrack Track;                    // media playlist: its segments
    bool Live = false;                     // media playlist that may still grow (no EXT-X-ENDLIST)
    TStreamProtection Protection = spNone; // the strongest of its keys
};

// Reads a playlist fetched from an address (its final address, after any
// redirects), against which its relative addresses are read.
//
// A master playlist gives the variants that carry video as formats (Id their
// position among all EXT-X-STREAM-INF variants), its EXT-X-MEDIA audio and
// the variants whose CODECS name audio only as audio renditions; trick-play
// variants (EXT-X-I-FRAME-STREAM-INF) are no formats. A rendition without an
// address has its audio inside the video; one with a group borrows the
// audio codecs of the first variant of that group.
//
// A media playlist gives its segments with their byte ranges, init sections
// (EXT-X-MAP), AES-128 keys (each applies from its tag on, an init section
// taking the key in force where its tag stands; without IV the segment's
// media sequence number is the IV) and discontinuities. It is live unless
// it ends with EXT-X-ENDLIST or is of PLAYLIST-TYPE VOD.
//
// Raises EStreamManifest naming the line and why, for a text over 8 MiB,
// over 100,000 segments, a malformed or absurd value, or an address that is
// no http or https address.
THlsPlaylist ReadHlsPlaylist(std::string_view text, const std::string& address);

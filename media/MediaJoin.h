#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Joining the pieces of a stream (HLS, DASH) into one playable file, without
// decoding or encoding anything: the pieces' packets are copied into MP4,
// Matroska or WebM.

// A run of bytes in a file: one piece (segment or init section) as it was
// stored.
struct TMediaPiece {
    std::string File;
    std::int64_t Offset = 0;
    std::int64_t Length = 0;
};

// Pieces read one after another as one byte stream. A new group starts a new
// demuxer: the caller starts one at every discontinuity and wherever the init
// section changes (the group's first piece is then its init section).
// Timestamps continue across groups: each group is moved so that it starts
// where the previous one ended. The tracks of a group move together, by the
// least that keeps every track from overlapping its previous end, so that
// video and audio stay in step however many groups there are.
struct TMediaGroup {
    std::vector<TMediaPiece> Pieces;
};

// Which tracks of an input are kept: its best video track, its best audio
// track, or both.
enum TTrackTake { ttVideoAndAudio, ttVideo, ttAudio };

struct TMediaInput {
    std::vector<TMediaGroup> Groups;
    TTrackTake Take = ttVideoAndAudio;
};

enum TContainer { ctMp4, ctMatroska, ctWebm };

struct TJoinRequest {
    // One or two (video, then a separate audio rendition). Two inputs whose
    // clocks start within a second of each other keep their distance; others
    // both start at zero.
    std::vector<TMediaInput> Inputs;
    // The file to write (created or replaced); removed again when the join
    // fails or is cancelled.
    std::string Output;
    // None: chosen by the codecs found, as ContainerForCodecs chooses.
    std::optional<TContainer> Container;
    // Punch holes into the input pieces once they are read (whole blocks
    // only; file systems that cannot are left alone), so that input and
    // output together stay under twice the video's size.
    bool ReleaseInput = false;
    // Polled often; true stops the join at once (EAbort).
    std::function<bool()> Cancelled;
    // Input bytes read so far, of all the pieces' bytes.
    std::function<void(std::int64_t consumed, std::int64_t total)> Progress;
};

struct TJoinOutcome {
    TContainer Container = ctMp4;
    double Duration = 0; // seconds, from the first packet to the end of the last
    std::int64_t VideoFrames = 0;
    std::int64_t AudioFrames = 0;
};

// Joins the pieces into request.Output. Raises EMediaJoin (media/EMediaJoin.h)
// when the pieces cannot be read or joined, the codecs do not fit the asked
// container or the output cannot be written, and EAbort when cancelled; in
// every such case no output file is left behind. Memory stays bounded
// whatever the length (besides the output's index, a few dozen bytes a
// frame).
//
// The joiner and FFmpeg's libraries live in a module of their own
// (skerrow-media.so, in the program's library folder), loaded the first time
// a stream is joined: a plain download never loads them. A module that
// cannot be loaded is an EMediaJoin that says why.
TJoinOutcome JoinMedia(const TJoinRequest& request);

// Who joins instead of the module; nullptr gives the module back.
using TMediaJoiner = TJoinOutcome (*)(const TJoinRequest& request);
void UseMediaJoiner(TMediaJoiner joiner);

// The container for a list of RFC 6381 codec names as playlists give them
// ("avc1.64001f,mp4a.40.2", "vp09.00.10.08,opus", "ec-3", ...): ctWebm when
// every codec is VP8, VP9, AV1, Opus or Vorbis; else ctMp4 when MP4 holds
// them all; else ctMatroska (an unknown name counts as one MP4 does not
// hold). Subtitle codecs are left out of the choice; an empty list gives
// ctMp4.
TContainer ContainerForCodecs(std::string_view codecs);

// ".mp4", ".mkv", ".webm".
const char* ContainerExtension(TContainer container);

#pragma once

#include "media/FfmpegHandles.h"
#include "media/MediaJoin.h"
#include "media/TPieceStream.h"

#include <array>
#include <optional>

class TFfmpegLog;

enum TTrackKind { tkVideo, tkAudio };
constexpr std::array<TTrackKind, 2> kTrackKinds = {tkVideo, tkAudio};

// A packet of a kept track as the output takes it, in its stream's time
// base.
struct TGroupPacket {
    TTrackKind Kind;
    TPacketPtr Packet;
    AVRational TimeBase;
};

// The demuxer of one group: it reads the group's pieces, keeps the tracks the
// input asks for and hands their packets on in one form whatever the pieces
// were. H.264 and HEVC leave in Annex B with their parameter sets in band, so
// that a group whose init section differs still decodes after the first
// group's; AAC leaves without ADTS headers.
class TGroupDemuxer {
public:
    TGroupDemuxer(const TMediaGroup& group, TTrackTake take, TJoinProgress& progress, TPieceRelease& release,
                  TFfmpegLog& log);

    bool Has(TTrackKind kind) const { return tracks_[kind].stream >= 0; }
    // The track's parameters as its packets leave (after the filters).
    const AVCodecParameters& Parameters(TTrackKind kind) const { return *tracks_[kind].filter->par_out; }
    // The next packet of a kept track; none at the end of the group.
    std::optional<TGroupPacket> Next();

private:
    struct TTrack {
        int stream = -1;
        TBitstreamFilterPtr filter;
    };

    void ChooseTracks(TTrackTake take);
    int BestStream(AVMediaType type) const;
    void Keep(TTrackKind kind, int stream);
    std::optional<TGroupPacket> Receive();
    void Feed();
    void End();
    [[noreturn]] void Fail(const char* wording, int error);

    TFfmpegLog& log_;
    TPieceStream pieces_;
    TInputFormatPtr format_;
    std::array<TTrack, 2> tracks_;
    TPacketPtr read_;
    bool ended_ = false;
    bool packetsPlaced_ = true; // every packet told where it began
};

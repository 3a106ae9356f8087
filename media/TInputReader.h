#pragma once

#include "media/FfmpegHandles.h"
#include "media/MediaJoin.h"
#include "media/TGroupDemuxer.h"

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>

// A packet ready for the output, and where it stands on the output's
// timeline.
struct TTimedPacket {
    TPacketPtr Packet;
    std::int64_t DtsNanos;
};

// One input's groups read one after another as one run of packets on the
// output's timeline. Each group is moved so that it starts where the
// previous one ended: its tracks move together, by the least that keeps each
// of them clear of its own end, so that video and audio stay in step however
// many groups follow. Memory holds a few packets read ahead, never a group.
class TInputReader {
public:
    TInputReader(const TMediaInput& input, TJoinProgress& progress, TPieceRelease& release, TFfmpegLog& log);

    // Opens the first group and reads ahead to the first packet of each of
    // its tracks. Raises EMediaJoin when the tracks the input asks for are
    // not there.
    void Start();
    bool Has(TTrackKind kind) const { return tracks_[kind].kept; }
    // What the output stream of a track is made from (the first group's).
    const AVCodecParameters& Parameters(TTrackKind kind) const { return *parameters_[kind]; }
    // The input's own clock at its first packet.
    std::int64_t StartNanos() const { return startNanos_; }
    // Puts the input's clock at origin on the output's zero.
    void SetOrigin(std::int64_t originNanos) { offset_ = -originNanos; }
    // The output stream a track goes to, and that stream's time base.
    void Bind(TTrackKind kind, int stream, AVRational timeBase);

    // The next packet with its output stream and times; null at the end.
    const TTimedPacket* Peek();
    TPacketPtr Take();

    std::int64_t Frames(TTrackKind kind) const { return tracks_[kind].frames; }
    // Where the last frame on the output ends (presentation time).
    std::int64_t EndNanos() const;

private:
    // Where a track stands on the output's timeline, in nanoseconds.
    struct TTrackClock {
        bool kept = false;
        AVCodecID codec = AV_CODEC_ID_NONE;
        int stream = -1;
        AVRational timeBase{1, 1};
        std::optional<std::int64_t> end;     // where its next packet may start
        std::optional<std::int64_t> lastDts; // of its last packet
        std::optional<std::int64_t> lastOutputDts;
        std::int64_t step = 0; // between its last two packets: the length of one without a duration
        std::int64_t jump = 0; // added after an unannounced jump back within the group
        std::int64_t presentationEnd = 0;
        std::int64_t frames = 0;
    };

    bool OpenNextGroup();
    void KeepTracks();
    void TakeParameters(TTrackKind kind);
    void ReadAhead();
    std::optional<TGroupPacket> NextOfGroup();
    bool StartNextGroup();
    void CheckCodecs() const;
    std::int64_t GroupOffset() const;
    std::int64_t FirstDtsNanos() const;
    TTimedPacket Place(TGroupPacket packet);
    void SetOutputTimes(TTrackClock& track, AVPacket& packet, std::int64_t dts, std::int64_t pts,
                        std::int64_t duration);

    const TMediaInput& input_;
    TJoinProgress& progress_;
    TPieceRelease& release_;
    TFfmpegLog& log_;
    std::size_t nextGroup_ = 0;
    std::unique_ptr<TGroupDemuxer> group_;
    std::deque<TGroupPacket> ahead_;
    std::array<TTrackClock, 2> tracks_;
    std::array<TCodecParametersPtr, 2> parameters_;
    std::int64_t startNanos_ = 0;
    std::int64_t offset_ = 0; // of the current group
    std::optional<TTimedPacket> ready_;
};

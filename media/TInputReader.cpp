#include "media/TInputReader.h"

#include "media/EMediaJoin.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr AVRational kNanos{1, 1000000000};
// Packets read ahead at the start of a group, at the most, to find where
// each of its tracks begins.
constexpr std::size_t kReadAhead = 256;
// Within a group, timestamps that go back further than this are an
// unannounced discontinuity rather than jitter.
constexpr std::int64_t kLargestStepBack = 1000000000;

std::int64_t ToNanos(std::int64_t value, AVRational timeBase)
{
    return av_rescale_q(value, timeBase, kNanos);
}

// The decoding time of a packet in its own stream's clock.
std::optional<std::int64_t> RawDtsNanos(const TGroupPacket& packet)
{
    const std::int64_t dts = packet.Packet->dts != AV_NOPTS_VALUE ? packet.Packet->dts : packet.Packet->pts;
    if (dts == AV_NOPTS_VALUE)
        return std::nullopt;
    return ToNanos(dts, packet.TimeBase);
}

std::int64_t GroupBytes(const TMediaGroup& group)
{
    std::int64_t bytes = 0;
    for (const TMediaPiece& piece : group.Pieces)
        bytes += piece.Length;
    return bytes;
}

} // namespace

TInputReader::TInputReader(const TMediaInput& input, TJoinProgress& progress, TPieceRelease& release, TFfmpegLog& log)
    : input_(input), progress_(progress), release_(release), log_(log)
{}

void TInputReader::Start()
{
    if (!OpenNextGroup())
        throw EMediaJoin("No pieces of the video were given.", {});
    KeepTracks();
    ReadAhead();
    for (TTrackKind kind : kTrackKinds)
        if (tracks_[kind].kept)
            TakeParameters(kind);
    startNanos_ = FirstDtsNanos();
}

void TInputReader::KeepTracks()
{
    for (TTrackKind kind : kTrackKinds)
        if (group_->Has(kind)) {
            tracks_[kind].kept = true;
            tracks_[kind].codec = group_->Parameters(kind).codec_id;
        }
    const bool video = Has(tkVideo);
    const bool audio = Has(tkAudio);
    if (input_.Take == ttVideo && !video)
        throw EMediaJoin("The pieces of the video hold no picture track.", {});
    if (input_.Take == ttAudio && !audio)
        throw EMediaJoin("The pieces of the video hold no sound track.", {});
    if (!video && !audio)
        throw EMediaJoin("The pieces of the video hold neither pictures nor sound.", {});
}

// AAC out of MPEG-TS learns its configuration from its first frame: the
// filter hands it on beside that packet, and the output's header needs it.
void TInputReader::TakeParameters(TTrackKind kind)
{
    TCodecParametersPtr parameters(avcodec_parameters_alloc());
    if (!parameters || avcodec_parameters_copy(parameters.get(), &group_->Parameters(kind)) < 0)
        throw std::bad_alloc();
    for (const TGroupPacket& packet : ahead_) {
        if (packet.Kind != kind)
            continue;
        std::size_t size = 0;
        const std::uint8_t* extradata = av_packet_get_side_data(packet.Packet.get(), AV_PKT_DATA_NEW_EXTRADATA, &size);
        if (extradata && size > 0 && parameters->extradata_size == 0) {
            parameters->extradata = static_cast<std::uint8_t*>(av_mallocz(size + AV_INPUT_BUFFER_PADDING_SIZE));
            if (!parameters->extradata)
                throw std::bad_alloc();
            std::memcpy(parameters->extradata, extradata, size);
            parameters->extradata_size = static_cast<int>(size);
        }
        break;
    }
    parameters->codec_tag = 0; // the output's muxer names the codec its own way
    parameters_[kind] = std::move(parameters);
}

void TInputReader::Bind(TTrackKind kind, int stream, AVRational timeBase)
{
    tracks_[kind].stream = stream;
    tracks_[kind].timeBase = timeBase;
}

const TTimedPacket* TInputReader::Peek()
{
    while (!ready_) {
        std::optional<TGroupPacket> packet = NextOfGroup();
        if (!packet) {
            if (!group_ || !StartNextGroup())
                return nullptr;
            continue;
        }
        // A track the first group did not have has no stream on the output.
        if (tracks_[packet->Kind].stream >= 0)
            ready_ = Place(std::move(*packet));
    }
    return &*ready_;
}

TPacketPtr TInputReader::Take()
{
    TPacketPtr packet = std::move(ready_->Packet);
    ready_.reset();
    return packet;
}

std::int64_t TInputReader::EndNanos() const
{
    return std::max(tracks_[tkVideo].presentationEnd, tracks_[tkAudio].presentationEnd);
}

bool TInputReader::OpenNextGroup()
{
    group_.reset();
    while (nextGroup_ < input_.Groups.size()) {
        const TMediaGroup& group = input_.Groups[nextGroup_++];
        if (GroupBytes(group) == 0)
            continue;
        group_ = std::make_unique<TGroupDemuxer>(group, input_.Take, progress_, release_, log_);
        return true;
    }
    return false;
}

void TInputReader::ReadAhead()
{
    std::array<bool, 2> seen{};
    while (ahead_.size() < kReadAhead) {
        bool waiting = false;
        for (TTrackKind kind : kTrackKinds)
            waiting = waiting || (group_->Has(kind) && tracks_[kind].kept && !seen[kind]);
        if (!waiting)
            return;
        std::optional<TGroupPacket> packet = group_->Next();
        if (!packet)
            return;
        seen[packet->Kind] = true;
        ahead_.push_back(std::move(*packet));
    }
}

std::optional<TGroupPacket> TInputReader::NextOfGroup()
{
    if (!ahead_.empty()) {
        TGroupPacket packet = std::move(ahead_.front());
        ahead_.pop_front();
        return packet;
    }
    if (!group_)
        return std::nullopt;
    return group_->Next();
}

bool TInputReader::StartNextGroup()
{
    if (!OpenNextGroup())
        return false;
    CheckCodecs();
    ReadAhead();
    offset_ = GroupOffset();
    for (TTrackClock& track : tracks_)
        track.jump = 0;
    return true;
}

void TInputReader::CheckCodecs() const
{
    for (TTrackKind kind : kTrackKinds) {
        if (!tracks_[kind].kept || !group_->Has(kind))
            continue;
        const AVCodecID codec = group_->Parameters(kind).codec_id;
        if (codec != tracks_[kind].codec)
            throw EMediaJoin("A track of the video changes its codec from %s to %s.",
                             {avcodec_get_name(tracks_[kind].codec), avcodec_get_name(codec)});
    }
}

// The least move that starts every track of the new group at or after the
// end of that track so far.
std::int64_t TInputReader::GroupOffset() const
{
    std::optional<std::int64_t> offset;
    std::array<bool, 2> seen{};
    for (const TGroupPacket& packet : ahead_) {
        const TTrackClock& track = tracks_[packet.Kind];
        if (seen[packet.Kind] || !track.kept)
            continue;
        seen[packet.Kind] = true;
        const std::optional<std::int64_t> dts = RawDtsNanos(packet);
        if (dts && track.end)
            offset = std::max(offset.value_or(*track.end - *dts), *track.end - *dts);
    }
    return offset.value_or(offset_);
}

std::int64_t TInputReader::FirstDtsNanos() const
{
    std::optional<std::int64_t> first;
    for (const TGroupPacket& packet : ahead_)
        if (const std::optional<std::int64_t> dts = RawDtsNanos(packet))
            first = std::min(first.value_or(*dts), *dts);
    return first.value_or(0);
}

TTimedPacket TInputReader::Place(TGroupPacket packet)
{
    TTrackClock& track = tracks_[packet.Kind];
    AVPacket& data = *packet.Packet;
    const std::int64_t expected = track.end.value_or(0);
    const std::optional<std::int64_t> rawDts = RawDtsNanos(packet);
    std::int64_t dts = rawDts ? *rawDts + offset_ + track.jump : expected;
    if (track.lastDts && dts < *track.lastDts - kLargestStepBack) {
        track.jump += expected - dts;
        dts = expected;
    }
    std::int64_t pts = dts;
    if (rawDts && data.pts != AV_NOPTS_VALUE)
        pts = std::max(dts, ToNanos(data.pts, packet.TimeBase) + offset_ + track.jump);
    const std::int64_t duration = data.duration > 0 ? ToNanos(data.duration, packet.TimeBase) : track.step;

    if (track.lastDts && dts > *track.lastDts)
        track.step = dts - *track.lastDts;
    track.lastDts = dts;
    track.end = std::max(track.end.value_or(dts + duration), dts + duration);
    track.presentationEnd = std::max(track.presentationEnd, pts + duration);
    ++track.frames;
    SetOutputTimes(track, data, dts, pts, duration);
    return TTimedPacket{std::move(packet.Packet), dts};
}

// Rounding into the output's time base may make two packets meet; the muxer
// takes only rising decoding times.
void TInputReader::SetOutputTimes(TTrackClock& track, AVPacket& packet, std::int64_t dts, std::int64_t pts,
                                  std::int64_t duration)
{
    std::int64_t outputDts = av_rescale_q(dts, kNanos, track.timeBase);
    std::int64_t outputPts = av_rescale_q(pts, kNanos, track.timeBase);
    if (track.lastOutputDts && outputDts <= *track.lastOutputDts)
        outputDts = *track.lastOutputDts + 1;
    track.lastOutputDts = outputDts;
    packet.dts = outputDts;
    packet.pts = std::max(outputPts, outputDts);
    packet.duration = av_rescale_q(duration, kNanos, track.timeBase);
    packet.stream_index = track.stream;
    packet.time_base = track.timeBase;
    packet.pos = -1;
}

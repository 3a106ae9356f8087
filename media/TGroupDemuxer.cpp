#include "media/TGroupDemuxer.h"

#include "media/EMediaJoin.h"
#include "media/TFfmpegLog.h"
#include "media/TJoinProgress.h"
#include "runtime/Exception.h"

namespace {

// Pieces are MPEG-TS, fragmented MP4, WebM or packed audio. No other demuxer
// is tried, so a piece can never lead FFmpeg to another file or address (a
// playlist, a concat list).
constexpr const char* kPieceFormats = "mpegts,mov,matroska,aac,mp3,ac3,eac3";

constexpr const char* kUnreadable = "The pieces of the video could not be read (%s).";
constexpr const char* kDamaged = "The pieces of the video are damaged (%s).";

bool IsAnnexB(const AVCodecParameters& parameters)
{
    const std::uint8_t* data = parameters.extradata;
    const int size = parameters.extradata_size;
    return (size >= 3 && data[0] == 0 && data[1] == 0 && data[2] == 1) ||
        (size >= 4 && data[0] == 0 && data[1] == 0 && data[2] == 0 && data[3] == 1);
}

// The filter that brings a track into the form every group shares. H.264 and
// HEVC from MP4 carry their parameter sets in the init section only; AAC from
// MPEG-TS has an ADTS header on every frame and no extradata.
const char* FilterFor(const AVCodecParameters& parameters)
{
    const bool fromMp4 = parameters.extradata_size > 0 && !IsAnnexB(parameters);
    switch (parameters.codec_id) {
    case AV_CODEC_ID_H264: return fromMp4 ? "h264_mp4toannexb" : "null";
    case AV_CODEC_ID_HEVC: return fromMp4 ? "hevc_mp4toannexb" : "null";
    case AV_CODEC_ID_AAC: return parameters.extradata_size == 0 ? "aac_adtstoasc" : "null";
    default: return "null";
    }
}

} // namespace

TGroupDemuxer::TGroupDemuxer(const TMediaGroup& group, TTrackTake take, TJoinProgress& progress, TPieceRelease& release,
                             TFfmpegLog& log)
    : log_(log), pieces_(group.Pieces, progress, release), read_(NewPacket())
{
    AVFormatContext* format = avformat_alloc_context();
    if (!format)
        throw std::bad_alloc();
    format->pb = pieces_.Context();
    format->interrupt_callback = {&TJoinProgress::Interrupt, &progress};
    format->format_whitelist = av_strdup(kPieceFormats);
    log_.Forget();
    // On failure avformat_open_input frees the context itself.
    int result = avformat_open_input(&format, "", nullptr, nullptr);
    if (result < 0)
        Fail(kUnreadable, result);
    format_.reset(format);
    result = avformat_find_stream_info(format, nullptr);
    if (result < 0)
        Fail(kUnreadable, result);
    ChooseTracks(take);
}

std::optional<TGroupPacket> TGroupDemuxer::Next()
{
    for (;;) {
        if (auto packet = Receive())
            return packet;
        if (ended_)
            return std::nullopt;
        Feed();
    }
}

void TGroupDemuxer::ChooseTracks(TTrackTake take)
{
    if (take != ttAudio)
        Keep(tkVideo, BestStream(AVMEDIA_TYPE_VIDEO));
    if (take != ttVideo)
        Keep(tkAudio, BestStream(AVMEDIA_TYPE_AUDIO));
    for (unsigned i = 0; i < format_->nb_streams; ++i)
        if (static_cast<int>(i) != tracks_[tkVideo].stream && static_cast<int>(i) != tracks_[tkAudio].stream)
            format_->streams[i]->discard = AVDISCARD_ALL;
}

int TGroupDemuxer::BestStream(AVMediaType type) const
{
    const int index = av_find_best_stream(format_.get(), type, -1, -1, nullptr, 0);
    if (index < 0)
        return -1;
    const AVStream* stream = format_->streams[index];
    // A cover picture is not the video, and a track FFmpeg cannot name
    // cannot be copied.
    if (stream->codecpar->codec_id == AV_CODEC_ID_NONE || (stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
        return -1;
    return index;
}

void TGroupDemuxer::Keep(TTrackKind kind, int stream)
{
    if (stream < 0)
        return;
    const AVStream* source = format_->streams[stream];
    AVBSFContext* filter = nullptr;
    int result = av_bsf_alloc(av_bsf_get_by_name(FilterFor(*source->codecpar)), &filter);
    if (result < 0)
        throw std::bad_alloc();
    tracks_[kind].filter.reset(filter);
    result = avcodec_parameters_copy(filter->par_in, source->codecpar);
    if (result < 0)
        throw std::bad_alloc();
    filter->time_base_in = source->time_base;
    log_.Forget();
    result = av_bsf_init(filter);
    if (result < 0)
        Fail(kUnreadable, result);
    tracks_[kind].stream = stream;
}

std::optional<TGroupPacket> TGroupDemuxer::Receive()
{
    for (TTrackKind kind : kTrackKinds) {
        AVBSFContext* filter = tracks_[kind].filter.get();
        if (!filter)
            continue;
        TPacketPtr packet = NewPacket();
        const int result = av_bsf_receive_packet(filter, packet.get());
        if (result == 0)
            return TGroupPacket{kind, std::move(packet), filter->time_base_out};
        if (result != AVERROR(EAGAIN) && result != AVERROR_EOF)
            Fail(kDamaged, result);
    }
    return std::nullopt;
}

void TGroupDemuxer::Feed()
{
    log_.Forget();
    int result = av_read_frame(format_.get(), read_.get());
    if (result == AVERROR_EOF) {
        End();
        return;
    }
    if (result < 0)
        Fail(kDamaged, result);
    for (TTrackKind kind : kTrackKinds)
        if (tracks_[kind].stream == read_->stream_index) {
            if (read_->pos >= 0)
                pieces_.NotePacketAt(read_->pos);
            else
                packetsPlaced_ = false;
            // The filter takes the packet's data; read_ is left blank.
            result = av_bsf_send_packet(tracks_[kind].filter.get(), read_.get());
            if (result < 0)
                Fail(kDamaged, result);
            return;
        }
    av_packet_unref(read_.get());
}

// Data a demuxer could not take and passed by would be lost without a word.
void TGroupDemuxer::End()
{
    ended_ = true;
    pieces_.RethrowFailure();
    if (format_->pb->error < 0)
        Fail(kDamaged, format_->pb->error);
    if (const std::optional<TMediaPiece> skipped = pieces_.SkippedData(packetsPlaced_))
        throw EMediaJoin("The pieces of the video are damaged: nothing could be read from %s at byte %s.",
                         {skipped->File, std::to_string(skipped->Offset)});
    for (const TTrack& track : tracks_)
        if (track.filter)
            av_bsf_send_packet(track.filter.get(), nullptr);
}

void TGroupDemuxer::Fail(const char* wording, int error)
{
    pieces_.RethrowFailure();
    if (error == AVERROR_EXIT)
        throw EAbort(); // the interrupt callback saw the cancel
    throw EMediaJoin(wording, {log_.Detail(error)});
}

#include "media/JoinInProcess.h"

#include "media/EMediaJoin.h"
#include "media/MediaContainer.h"
#include "media/PieceChecks.h"
#include "media/TFfmpegLog.h"
#include "media/TInputReader.h"
#include "media/TJoinProgress.h"
#include "media/TMediaMuxer.h"
#include "media/TPieceRelease.h"
#include "runtime/Exception.h"

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using TReaders = std::vector<std::unique_ptr<TInputReader>>;

// Renditions of one stream share a clock; their first packets lie close
// together.
constexpr std::int64_t kSharedClockDistance = 1000000000;

void CheckRequest(const TJoinRequest& request)
{
    if (request.Inputs.empty())
        throw EMediaJoin("No pieces of the video were given.", {});
    if (request.Inputs.size() > 2)
        throw EMediaJoin("At most two inputs can be joined, not %s.", {std::to_string(request.Inputs.size())});
    if (request.Output.empty())
        throw EMediaJoin("No file was named to save the video in.", {});
    CheckPieces(request.Inputs);
    if (HoldsPieces(request.Output, request.Inputs))
        throw EMediaJoin("The video cannot be saved into the file that holds its pieces, %s.", {request.Output});
}

// Each piece lies within its file (CheckPieces), so the sum stays within
// the files' sizes unless one file is named many times over.
std::int64_t TotalBytes(const TJoinRequest& request)
{
    std::int64_t total = 0;
    for (const TMediaInput& input : request.Inputs)
        for (const TMediaGroup& group : input.Groups)
            for (const TMediaPiece& piece : group.Pieces) {
                if (piece.Length > INT64_MAX - total)
                    throw EMediaJoin("No pieces of the video were given.", {});
                total += piece.Length;
            }
    return total;
}

TReaders StartReaders(const TJoinRequest& request, TJoinProgress& progress, TPieceRelease& release, TFfmpegLog& log)
{
    TReaders readers;
    for (const TMediaInput& input : request.Inputs) {
        readers.push_back(std::make_unique<TInputReader>(input, progress, release, log));
        readers.back()->Start();
    }
    return readers;
}

// Two inputs off one clock keep their distance on the output; inputs whose
// clocks are strangers both start at zero.
void SetOrigins(TReaders& readers)
{
    std::int64_t origin = readers.front()->StartNanos();
    for (const auto& reader : readers)
        origin = std::min(origin, reader->StartNanos());
    for (const auto& reader : readers) {
        const bool shared = reader->StartNanos() - origin <= kSharedClockDistance;
        reader->SetOrigin(shared ? origin : reader->StartNanos());
    }
}

// Whether this FFmpeg's muxer writes the codec into the container.
bool MuxerTakes(TContainer container, AVCodecID codec)
{
    const AVOutputFormat* muxer = av_guess_format(ContainerMuxer(container), nullptr, nullptr);
    return muxer && avformat_query_codec(muxer, codec, FF_COMPLIANCE_NORMAL) == 1;
}

// The asked container, or the one the codecs call for; a codec it cannot
// hold is named rather than written into a file players would refuse.
TContainer ChooseContainer(const TJoinRequest& request, const TReaders& readers)
{
    std::vector<AVCodecID> codecs;
    for (const auto& reader : readers)
        for (TTrackKind kind : kTrackKinds)
            if (reader->Has(kind))
                codecs.push_back(reader->Parameters(kind).codec_id);
    const TContainer container = request.Container.value_or(ContainerForCodecIds(codecs));
    for (AVCodecID codec : codecs)
        if (!ContainerHolds(container, codec) || !MuxerTakes(container, codec))
            throw EMediaJoin("The %s codec of this video cannot be saved as %s.",
                             {avcodec_get_name(codec), ContainerTitle(container)});
    return container;
}

void AddStreams(TReaders& readers, TMediaMuxer& muxer)
{
    std::vector<std::pair<TTrackKind, int>> streams;
    for (const auto& reader : readers)
        for (TTrackKind kind : kTrackKinds)
            if (reader->Has(kind))
                streams.emplace_back(kind, muxer.AddStream(reader->Parameters(kind)));
    muxer.Begin();
    auto stream = streams.begin();
    for (const auto& reader : readers)
        for (TTrackKind kind : kTrackKinds)
            if (reader->Has(kind)) {
                reader->Bind(kind, stream->second, muxer.TimeBase(stream->second));
                ++stream;
            }
}

// The inputs' packets in the order of their decoding times, so that the
// muxer never waits long for one input while the other piles up.
void Interleave(TReaders& readers, TMediaMuxer& muxer, const TJoinProgress& progress)
{
    for (;;) {
        if (progress.Cancelled())
            throw EAbort();
        TInputReader* earliest = nullptr;
        std::int64_t at = 0;
        for (const auto& reader : readers)
            if (const TTimedPacket* next = reader->Peek(); next && (!earliest || next->DtsNanos < at)) {
                earliest = reader.get();
                at = next->DtsNanos;
            }
        if (!earliest)
            return;
        TPacketPtr packet = earliest->Take();
        muxer.Write(*packet);
    }
}

TJoinOutcome Outcome(TContainer container, const TReaders& readers)
{
    TJoinOutcome outcome;
    outcome.Container = container;
    std::int64_t end = 0;
    for (const auto& reader : readers) {
        end = std::max(end, reader->EndNanos());
        outcome.VideoFrames += reader->Frames(tkVideo);
        outcome.AudioFrames += reader->Frames(tkAudio);
    }
    outcome.Duration = static_cast<double>(end) / 1e9;
    return outcome;
}

} // namespace

TJoinOutcome JoinMediaInProcess(const TJoinRequest& request)
{
    CheckRequest(request);
    TFfmpegLog log;
    TJoinProgress progress(TotalBytes(request), request.Cancelled, request.Progress);
    TPieceRelease release(request.ReleaseInput);
    TReaders readers = StartReaders(request, progress, release, log);
    SetOrigins(readers);
    const TContainer container = ChooseContainer(request, readers);
    TMediaMuxer muxer(request.Output, container, progress, log);
    AddStreams(readers, muxer);
    Interleave(readers, muxer, progress);
    muxer.Finish();
    return Outcome(container, readers);
}

void JoinInThisProcess()
{
    UseMediaJoiner(&JoinMediaInProcess);
}

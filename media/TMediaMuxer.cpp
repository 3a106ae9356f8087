#include "media/TMediaMuxer.h"

#include "media/EMediaJoin.h"
#include "media/MediaContainer.h"
#include "media/TFfmpegLog.h"
#include "media/TJoinProgress.h"
#include "runtime/Exception.h"

#include <unistd.h>

// FFmpeg reads "file:" as its protocol, so a name with a colon of its own
// ("clip: part 1.mp4") stays a file name. An MP4's faststart opens the
// file again by this name.
TMediaMuxer::TMediaMuxer(const std::string& file, TContainer container, TJoinProgress& progress, TFfmpegLog& log)
    : file_(file), container_(container), log_(log)
{
    const std::string url = "file:" + file;
    if (avformat_alloc_output_context2(&format_, nullptr, ContainerMuxer(container), url.c_str()) < 0 || !format_)
        throw std::bad_alloc();
    format_->interrupt_callback = {&TJoinProgress::Interrupt, &progress};
}

TMediaMuxer::~TMediaMuxer()
{
    if (format_ && format_->pb)
        avio_closep(&format_->pb);
    avformat_free_context(format_);
    if (created_ && !finished_)
        ::unlink(file_.c_str());
}

int TMediaMuxer::AddStream(const AVCodecParameters& parameters)
{
    AVStream* stream = avformat_new_stream(format_, nullptr);
    if (!stream || avcodec_parameters_copy(stream->codecpar, &parameters) < 0)
        throw std::bad_alloc();
    return stream->index;
}

void TMediaMuxer::Begin()
{
    log_.Forget();
    int result = avio_open2(&format_->pb, format_->url, AVIO_FLAG_WRITE, &format_->interrupt_callback, nullptr);
    if (result < 0)
        Fail(result);
    created_ = true;
    AVDictionary* options = nullptr;
    if (container_ == ctMp4)
        av_dict_set(&options, "movflags", "+faststart", 0);
    result = avformat_write_header(format_, &options);
    av_dict_free(&options);
    if (result < 0)
        Fail(result);
}

void TMediaMuxer::Write(AVPacket& packet)
{
    log_.Forget();
    const int result = av_interleaved_write_frame(format_, &packet);
    if (result < 0)
        Fail(result);
}

void TMediaMuxer::Finish()
{
    log_.Forget();
    int result = av_write_trailer(format_);
    if (result < 0)
        Fail(result);
    result = avio_closep(&format_->pb);
    if (result < 0)
        Fail(result);
    finished_ = true;
}

void TMediaMuxer::Fail(int error)
{
    if (error == AVERROR_EXIT)
        throw EAbort();
    throw EMediaJoin("The video could not be written to %s (%s).", {file_, log_.Detail(error)});
}

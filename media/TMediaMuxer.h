#pragma once

#include "media/FfmpegHandles.h"
#include "media/MediaJoin.h"

#include <string>

class TFfmpegLog;
class TJoinProgress;

// The output file: one stream per track, the packets written as they come,
// and the index moved to the front of an MP4 at the end. The file is
// removed again unless Finish succeeds.
class TMediaMuxer {
public:
    TMediaMuxer(const std::string& file, TContainer container, TJoinProgress& progress, TFfmpegLog& log);
    ~TMediaMuxer();
    TMediaMuxer(const TMediaMuxer&) = delete;
    TMediaMuxer& operator=(const TMediaMuxer&) = delete;

    // A stream made from the track's parameters; its index.
    int AddStream(const AVCodecParameters& parameters);
    // Creates the file and writes its header; the streams' time bases are
    // known from then on.
    void Begin();
    AVRational TimeBase(int stream) const { return format_->streams[stream]->time_base; }
    // Takes the packet's data.
    void Write(AVPacket& packet);
    void Finish();

private:
    [[noreturn]] void Fail(int error);

    std::string file_;
    TContainer container_;
    TFfmpegLog& log_;
    AVFormatContext* format_ = nullptr;
    bool created_ = false;
    bool finished_ = false;
};

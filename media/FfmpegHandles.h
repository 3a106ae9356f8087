#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavformat/avformat.h>
}

#include <memory>
#include <new>

// Owners for the FFmpeg objects the joiner holds, freed by FFmpeg's own calls.

struct TPacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using TPacketPtr = std::unique_ptr<AVPacket, TPacketFree>;

inline TPacketPtr NewPacket()
{
    TPacketPtr packet(av_packet_alloc());
    if (!packet)
        throw std::bad_alloc();
    return packet;
}

struct TBitstreamFilterFree {
    void operator()(AVBSFContext* filter) const { av_bsf_free(&filter); }
};
using TBitstreamFilterPtr = std::unique_ptr<AVBSFContext, TBitstreamFilterFree>;

struct TCodecParametersFree {
    void operator()(AVCodecParameters* parameters) const { avcodec_parameters_free(&parameters); }
};
using TCodecParametersPtr = std::unique_ptr<AVCodecParameters, TCodecParametersFree>;

// A demuxer over a custom AVIOContext leaves that context to its owner.
struct TInputFormatClose {
    void operator()(AVFormatContext* format) const { avformat_close_input(&format); }
};
using TInputFormatPtr = std::unique_ptr<AVFormatContext, TInputFormatClose>;

// FFmpeg may swap a custom context's buffer for another, so the one it holds
// at the end is the one freed.
struct TIOContextFree {
    void operator()(AVIOContext* context) const
    {
        av_freep(&context->buffer);
        avio_context_free(&context);
    }
};
using TIOContextPtr = std::unique_ptr<AVIOContext, TIOContextFree>;

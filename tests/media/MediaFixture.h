#pragma once

#include "MediaTools.h"
#include "media/JoinInProcess.h"

#include <gtest/gtest.h>

// The codecs the renditions are made with.
inline const std::vector<std::string> kH264Aac = {"-c:v", "libx264", "-pix_fmt", "yuv420p", "-g", "25", "-c:a", "aac"};
inline const std::vector<std::string> kVp9Opus = {"-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used",
                                                  "8",    "-g",         "25",        "-c:a",     "libopus"};
inline const std::vector<std::string> kMpeg2Mp2 = {"-c:v", "mpeg2video", "-g", "25", "-c:a", "mp2"};

enum TSegmentKind { skTs, skFmp4 };

// A scratch folder to make renditions in and join them.
class MediaFixture : public ::testing::Test {
protected:
    // An HLS rendition of one-second segments; its playlist's path. The
    // arguments are ffmpeg's inputs, maps and codecs.
    std::string MakeRendition(const std::string& name, std::vector<std::string> arguments, TSegmentKind kind)
    {
        const std::string extension = kind == skTs ? ".ts" : ".m4s";
        arguments.insert(arguments.end(),
                         {"-f", "hls", "-hls_time", "1", "-hls_playlist_type", "vod", "-hls_segment_filename",
                          folder.File(name + "-%d" + extension)});
        if (kind == skFmp4)
            arguments.insert(arguments.end(),
                             {"-hls_segment_type", "fmp4", "-hls_fmp4_init_filename", name + "-init.mp4"});
        const std::string playlist = folder.File(name + ".m3u8");
        arguments.push_back(playlist);
        EXPECT_TRUE(Ffmpeg(arguments)) << "ffmpeg could not make " << name;
        return playlist;
    }

    // A rendition of video and sound from the test pattern.
    std::string MakeClip(const std::string& name, int seconds, const std::vector<std::string>& codecs,
                         TSegmentKind kind, const std::string& pattern = "testsrc2")
    {
        std::vector<std::string> arguments = TestSources(seconds, pattern);
        arguments.insert(arguments.end(), codecs.begin(), codecs.end());
        return MakeRendition(name, arguments, kind);
    }

    // An input of one group: the playlist's files in order.
    static TMediaInput InputOf(const std::string& playlist, TTrackTake take = ttVideoAndAudio)
    {
        TMediaInput input;
        input.Groups.push_back(GroupOfFiles(PlaylistFiles(playlist)));
        input.Take = take;
        return input;
    }

    TJoinRequest RequestFor(std::vector<TMediaInput> inputs, const std::string& output = "joined")
    {
        TJoinRequest request;
        request.Inputs = std::move(inputs);
        request.Output = folder.File(output);
        return request;
    }

    ScratchFolder folder{"media"};
};

// The duration ffprobe reads from a file.
inline double ProbedDuration(const std::string& file)
{
    return std::stod("0" + Probe(file)["duration"]);
}

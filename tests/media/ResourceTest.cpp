// What a join costs besides time: the input's blocks go back to the file
// system as they are read, and memory stays flat however long the video.
#include "MediaFixture.h"

#include <fcntl.h>
#include <sys/stat.h>

#if defined(__SANITIZE_ADDRESS__)
#define SKERROW_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SKERROW_ADDRESS_SANITIZER 1
#endif
#endif

namespace {

std::int64_t AllocatedBytes(const std::string& file)
{
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0)
        return 0;
    return static_cast<std::int64_t>(status.st_blocks) * 512;
}

bool CanPunchHoles(const std::string& file)
{
    std::ofstream(file, std::ios::binary) << std::string(1 << 16, 'x');
    const int descriptor = ::open(file.c_str(), O_RDWR);
    const bool punched = ::fallocate(descriptor, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, 0, 1 << 16) == 0;
    ::close(descriptor);
    std::remove(file.c_str());
    return punched;
}

class ReleaseTest : public MediaFixture, public ::testing::WithParamInterface<bool> {};

// The two renditions' pieces lie in one part file, interleaved as they
// arrived, on no block boundary: a block shared by a video piece and an audio
// piece is freed only once both are read.
TEST_P(ReleaseTest, FreesTheInputAsItIsRead)
{
    const bool release = GetParam();
    if (!CanPunchHoles(folder.File("probe")))
        GTEST_SKIP() << "the file system cannot punch holes";
    std::vector<std::string> video = TestSources(4);
    video.insert(video.end(), {"-map", "0:v"});
    video.insert(video.end(), kH264Aac.begin(), kH264Aac.end());
    std::vector<std::string> audio = TestSources(4);
    audio.insert(audio.end(), {"-map", "1:a"});
    audio.insert(audio.end(), kH264Aac.begin(), kH264Aac.end());
    const std::string videoPlaylist = MakeRendition("video", video, skTs);
    const std::vector<std::string> videoFiles = PlaylistFiles(videoPlaylist);
    const std::vector<std::string> audioFiles = PlaylistFiles(MakeRendition("audio", audio, skTs));
    TPartFile part(folder.File("joined.part"));
    TMediaInput videoInput{{{}}, ttVideo};
    TMediaInput audioInput{{{}}, ttAudio};
    for (std::size_t i = 0; i < std::max(videoFiles.size(), audioFiles.size()); ++i) {
        if (i < videoFiles.size())
            videoInput.Groups[0].Pieces.push_back(part.Append(videoFiles[i]));
        if (i < audioFiles.size())
            audioInput.Groups[0].Pieces.push_back(part.Append(audioFiles[i]));
    }
    TJoinRequest request = RequestFor({videoInput, audioInput});
    request.ReleaseInput = release;
    const std::int64_t before = AllocatedBytes(part.Path());
    std::int64_t peak = 0;
    request.Progress = [&](std::int64_t, std::int64_t) {
        peak = std::max(peak, AllocatedBytes(part.Path()) + AllocatedBytes(request.Output));
    };

    JoinMediaInProcess(request);

    EXPECT_EQ(FrameHashes(request.Output), FrameHashes(videoPlaylist));
    const std::int64_t after = AllocatedBytes(part.Path());
    if (release) {
        // The last block, which the part's end shares, stays.
        EXPECT_LE(after, 8192);
        EXPECT_LE(peak, 2 * AllocatedBytes(request.Output) + 65536);
    } else {
        EXPECT_EQ(after, before);
    }
}

INSTANTIATE_TEST_SUITE_P(ReleaseOrKeep, ReleaseTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Release" : "Keep"; });

// The peak memory, in kB, of a child process that makes the join.
std::int64_t PeakKilobytesOfJoin(const TJoinRequest& request)
{
    int pipe[2];
    if (::pipe(pipe) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        std::int64_t peak = -1;
        try {
            JoinMediaInProcess(request);
            std::istringstream status(FileBytes("/proc/self/status"));
            for (std::string line; std::getline(status, line);)
                if (line.rfind("VmHWM:", 0) == 0)
                    peak = std::stoll(line.substr(6));
        } catch (...) {}
        ::write(pipe[1], &peak, sizeof peak);
        ::_exit(0);
    }
    ::close(pipe[1]);
    std::int64_t peak = -1;
    ::read(pipe[0], &peak, sizeof peak);
    ::close(pipe[0]);
    ::waitpid(child, nullptr, 0);
    return peak;
}

// Ten minutes of video take hardly more memory than half a minute: a join
// that held its input would need the input's 21 MB more.
TEST_F(MediaFixture, MemoryStaysFlatWhateverTheLength)
{
#ifdef SKERROW_ADDRESS_SANITIZER
    GTEST_SKIP() << "the address sanitizer's quarantine holds freed memory";
#endif
    const std::vector<std::string> clip = PlaylistFiles(MakeClip("clip", 4, kH264Aac, skTs));
    std::string whole;
    for (const std::string& file : clip)
        whole += FileBytes(file);
    std::ofstream(folder.File("clip.ts"), std::ios::binary) << whole;
    // The clip again and again, its timestamps running on.
    ASSERT_TRUE(
        Ffmpeg({"-stream_loop", "149", "-i", folder.File("clip.ts"), "-c", "copy", "-f", "hls", "-hls_time", "4",
                "-hls_list_size", "0", "-hls_segment_filename", folder.File("long-%d.ts"), folder.File("long.m3u8")}));
    const std::vector<std::string> pieces = PlaylistFiles(folder.File("long.m3u8"));
    ASSERT_GE(pieces.size(), 140u);
    TMediaInput shortInput;
    shortInput.Groups.push_back(GroupOfFiles({pieces.begin(), pieces.begin() + 8}));
    TMediaInput longInput;
    longInput.Groups.push_back(GroupOfFiles(pieces));

    const std::int64_t shortPeak = PeakKilobytesOfJoin(RequestFor({shortInput}, "short.mp4"));
    const std::int64_t longPeak = PeakKilobytesOfJoin(RequestFor({longInput}, "long.mp4"));

    ASSERT_GT(shortPeak, 0);
    ASSERT_GT(longPeak, 0);
    EXPECT_NEAR(ProbedDuration(folder.File("long.mp4")), ProbedDuration(folder.File("long.m3u8")), 0.2);
    EXPECT_LT(longPeak - shortPeak, 12 * 1024) << shortPeak << " kB for 32 s, " << longPeak << " kB for 600 s";
}

} // namespace

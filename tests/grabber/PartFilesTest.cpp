#include "grabber/TGrabberTempFile.h"

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

// A run killed outright (kill -9, a power cut) leaves its temporary file;
// the next download to the same target takes it away, and nothing else.
TEST(PartFiles, ANewDownloadRemovesWhatKilledRunsLeftBesideItsTarget)
{
    pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    auto part = [](const std::string& target, pid_t writer, const std::string& number) {
        return target + "." + std::to_string(writer) + "-" + number + ".part";
    };
    const struct {
        std::string name;
        bool removed;
    } rows[] = {
        {part("video.mp4", ended, "0"), true},
        {part("video.mp4", ended, "17"), true},
        {part("video.mp4", ::getppid(), "0"), false}, // its writer still runs
        {part("video.mp4", ::getpid(), "99"), false}, // this process's own
        {part("other.mp4", ended, "0"), false},       // another target's
        {part("video.mp4", ended, "x"), false},       // not of the form
        {"video.mp4.part", false},
    };
    ScratchFolder folder{"parts"};
    for (const auto& row : rows)
        std::ofstream(folder.File(row.name)) << "partial";

    { TGrabberTempFile next(folder.File("video.mp4")); }

    std::vector<std::string> kept;
    for (const auto& row : rows)
        if (!row.removed)
            kept.push_back(row.name);
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(folder.Names(), kept);
}

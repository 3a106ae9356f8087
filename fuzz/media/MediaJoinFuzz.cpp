// Joins arbitrary bytes as the pieces of a stream, split into pieces or
// groups at a point the first byte chooses. Whatever they hold, the join
// either succeeds or fails with EMediaJoin, and a failed join leaves no
// output behind.
#include "media/EMediaJoin.h"
#include "media/JoinInProcess.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

std::string folder;

void RemoveFolder()
{
    ::unlink((folder + "/pieces").c_str());
    ::rmdir(folder.c_str());
}

// A private folder for the run's two files, removed when the run ends.
const std::string& Folder()
{
    if (folder.empty()) {
        char name[] = "/tmp/skerrow-media-fuzz-XXXXXX";
        Check(::mkdtemp(name) != nullptr);
        folder = name;
        std::atexit(RemoveFolder);
    }
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::string pieces = Folder() + "/pieces";
    const std::string output = Folder() + "/joined";
    std::ofstream(pieces, std::ios::binary).write(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::int64_t length = static_cast<std::int64_t>(size - 1);
    const std::int64_t split = length * (data[0] & 0x7f) / 0x7f;
    TMediaInput input;
    if (data[0] & 0x80)
        input.Groups = {{{{pieces, 0, split}}}, {{{pieces, split, length - split}}}};
    else
        input.Groups = {{{{pieces, 0, split}, {pieces, split, length - split}}}};
    TJoinRequest request;
    request.Inputs = {input};
    request.Output = output;
    try {
        JoinMediaInProcess(request);
    } catch (const EMediaJoin&) {
        Check(::access(output.c_str(), F_OK) != 0);
    }
    ::unlink(output.c_str());
    return 0;
}

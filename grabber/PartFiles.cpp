#include "grabber/PartFiles.h"

#include "runtime/AsciiText.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <optional>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* kPartEnding = ".part";

// The process that wrote a temporary file of target named name, if the
// name has the form "TARGET.PID-N.part".
std::optional<pid_t> WriterOf(const std::string& name, const std::string& targetName)
{
    const std::string prefix = targetName + ".";
    const std::string ending = kPartEnding;
    if (name.size() <= prefix.size() + ending.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - ending.size(), ending.size(), ending) != 0)
        return std::nullopt;
    std::string middle = name.substr(prefix.size(), name.size() - prefix.size() - ending.size());
    std::size_t dash = middle.find('-');
    if (dash == std::string::npos || !AsciiText::ParseUnsigned(middle.substr(dash + 1)))
        return std::nullopt;
    std::optional<std::uint64_t> pid = AsciiText::ParseUnsigned(middle.substr(0, dash));
    if (!pid || *pid == 0 || *pid > 4194304)
        return std::nullopt;
    return static_cast<pid_t>(*pid);
}

bool HasEnded(pid_t process)
{
    return process != ::getpid() && ::kill(process, 0) != 0 && errno == ESRCH;
}

} // namespace

std::string NewPartName(const std::string& target)
{
    static std::atomic<unsigned> counter{0};
    return target + "." + std::to_string(::getpid()) + "-" + std::to_string(counter++) + kPartEnding;
}

std::vector<std::string> LeftoverParts(const std::string& target)
{
    const fs::path path(target);
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const std::string targetName = path.filename().string();
    std::vector<std::string> leftovers;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        std::optional<pid_t> writer = WriterOf(entry->path().filename().string(), targetName);
        std::error_code unreadable;
        if (writer && HasEnded(*writer) && entry->is_regular_file(unreadable))
            leftovers.push_back((folder / entry->path().filename()).string());
    }
    return leftovers;
}

void RemoveLeftoverParts(const std::string& target)
{
    for (const std::string& leftover : LeftoverParts(target))
        ::unlink(leftover.c_str());
}

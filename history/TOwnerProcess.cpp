#include "history/TOwnerProcess.h"

#include "runtime/AsciiText.h"

#include <cerrno>
#include <csignal>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

// Field 22 of /proc/PID/stat. The second field, the command's name in
// parentheses, may itself hold blanks and parentheses, so the count starts
// after the last ')'.
std::optional<std::int64_t> StartTicksOf(std::int64_t id)
{
    std::ifstream stat("/proc/" + std::to_string(id) + "/stat");
    std::string line;
    if (!stat || !std::getline(stat, line))
        return std::nullopt;
    const std::size_t nameEnd = line.rfind(')');
    if (nameEnd == std::string::npos)
        return std::nullopt;
    std::istringstream fields(line.substr(nameEnd + 1));
    std::string field;
    // After the name come field 3 (the state) to field 22.
    for (int number = 3; number <= 22; ++number)
        if (!(fields >> field))
            return std::nullopt;
    return AsciiText::ToInt64(field);
}

bool IdInUse(std::int64_t id)
{
    return ::kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM;
}

} // namespace

TOwnerProcess TOwnerProcess::Current()
{
    TOwnerProcess self;
    self.Id = ::getpid();
    self.StartTicks = StartTicksOf(self.Id).value_or(0);
    return self;
}

bool TOwnerProcess::Alive() const
{
    if (Id <= 0 || Id > INT32_MAX)
        return false;
    if (!IdInUse(Id))
        return false;
    if (StartTicks == 0)
        return true;
    // Without /proc the id is all there is to go by.
    std::optional<std::int64_t> started = StartTicksOf(Id);
    return !started || *started == StartTicks;
}

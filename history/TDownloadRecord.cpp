#include "history/TDownloadRecord.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<TDownloadState, const char*>, 5> kStateNames{{
    {dsRunning, "running"},
    {dsFinished, "finished"},
    {dsFailed, "failed"},
    {dsCancelled, "cancelled"},
    {dsWaitingForRetry, "waiting-for-retry"},
}};

} // namespace

const char* StateName(TDownloadState state)
{
    for (const auto& [known, name] : kStateNames)
        if (known == state)
            return name;
    return "failed";
}

TDownloadState StateNamed(const std::string& name)
{
    for (const auto& [state, known] : kStateNames)
        if (name == known)
            return state;
    return dsFailed;
}

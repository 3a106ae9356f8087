#include "http/TIdSocketList.h"

#include "http/EIdSocketError.h"
#include "http/TIdStack.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <poll.h>

void TIdSocketList::Add(int handle)
{
    if (!Contains(handle))
        handles_.push_back(handle);
}

void TIdSocketList::Remove(int handle)
{
    handles_.erase(std::remove(handles_.begin(), handles_.end(), handle), handles_.end());
}

bool TIdSocketList::Contains(int handle) const
{
    return std::find(handles_.begin(), handles_.end(), handle) != handles_.end();
}

bool TIdSocketList::SelectRead(int timeoutMs) const
{
    using Clock = std::chrono::steady_clock;
    std::vector<pollfd> waits;
    for (int handle : handles_)
        waits.push_back({handle, POLLIN, 0});
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    for (;;) {
        int wait = timeoutMs;
        if (timeoutMs > 0) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            wait = static_cast<int>(std::max<long long>(left, 0));
        }
        int ready = poll(waits.data(), waits.size(), timeoutMs < 0 ? -1 : wait);
        if (ready >= 0)
            return ready > 0;
        if (errno != EINTR)
            RaiseSocketError(TIdStack::TranslateErrno(errno));
    }
}

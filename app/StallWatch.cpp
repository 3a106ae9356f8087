#include "app/StallWatch.h"

#include "app/ProgramText.h"
#include "grabber/internet/InternetApi.h"

#include <algorithm>

std::chrono::milliseconds TStallWatch::StallTimeOut()
{
    std::uint32_t ms = 0;
    std::uint32_t length = sizeof ms;
    if (!InternetQueryOption(nullptr, INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, &length))
        return std::chrono::milliseconds(60000);
    return std::chrono::milliseconds(ms);
}

void TStallWatch::Arrived(std::int64_t received, Clock::time_point now)
{
    if (!watching_ || received != received_)
        since_ = now;
    watching_ = true;
    received_ = received;
}

std::optional<int> TStallWatch::SecondsLeft(Clock::time_point now) const
{
    if (!watching_ || now - since_ < kShownAfter)
        return std::nullopt;
    const auto left = stallTimeOut_ - std::chrono::duration_cast<std::chrono::milliseconds>(now - since_);
    // Whole seconds, rounded up: "1 s" until the very end.
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(left).count();
    return static_cast<int>(std::max<decltype(seconds)>(seconds, 0));
}

std::string WaitingText(int secondsLeft)
{
    return Tr("Waiting for the server (gives up in %s s)", {std::to_string(secondsLeft)});
}

#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

// Watches a running download for a server that stopped sending: once no
// byte has arrived for kShownAfter, the rate line says the download waits
// for the server and how many seconds are left before the download
// component's stall time-out gives up on it.
class TStallWatch {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kShownAfter{5};

    // The stall time-out the download component holds to now.
    static std::chrono::milliseconds StallTimeOut();

    explicit TStallWatch(std::chrono::milliseconds stallTimeOut = StallTimeOut()) : stallTimeOut_(stallTimeOut) {}

    // The transfer is under way with received bytes at now; the wait counts
    // from the last time that number grew.
    void Arrived(std::int64_t received, Clock::time_point now = Clock::now());
    // The transfer is not waiting for bytes (it retries, or it ended).
    void Stop() { watching_ = false; }

    // The seconds left before the time-out, once the download has waited
    // kShownAfter; nothing before, or when not watching.
    std::optional<int> SecondsLeft(Clock::time_point now = Clock::now()) const;

private:
    std::chrono::milliseconds stallTimeOut_;
    bool watching_ = false;
    std::int64_t received_ = -1;
    Clock::time_point since_{};
};

// "Waiting for the server (gives up in 55 s)", in the current language.
std::string WaitingText(int secondsLeft);

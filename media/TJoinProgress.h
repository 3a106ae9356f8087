#pragma once

#include <cstdint>
#include <functional>

// The input bytes read by every demuxer of a join, reported to the caller,
// and the caller's question whether to stop.
class TJoinProgress {
public:
    TJoinProgress(std::int64_t total, std::function<bool()> cancelled,
                  std::function<void(std::int64_t, std::int64_t)> progress)
        : total_(total), cancelled_(std::move(cancelled)), progress_(std::move(progress))
    {}

    bool Cancelled() const { return cancelled_ && cancelled_(); }

    void Consumed(std::int64_t bytes)
    {
        consumed_ += bytes;
        if (progress_)
            progress_(consumed_, total_);
    }

    // For FFmpeg's interrupt callback, which asks between blocking steps.
    static int Interrupt(void* progress) noexcept
    {
        try {
            return static_cast<const TJoinProgress*>(progress)->Cancelled() ? 1 : 0;
        } catch (...) {
            // A question that cannot be answered stops the join as a
            // cancel does.
            return 1;
        }
    }

private:
    std::int64_t total_;
    std::int64_t consumed_ = 0;
    std::function<bool()> cancelled_;
    std::function<void(std::int64_t, std::int64_t)> progress_;
};

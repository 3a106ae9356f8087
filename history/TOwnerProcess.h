#pragma once

#include <cstdint>

// The process that runs a download: its id, and when it started (in clock
// ticks since boot, as /proc tells it), so that a later process that was
// handed the same id is not taken for it.
struct TOwnerProcess {
    std::int64_t Id = 0;
    std::int64_t StartTicks = 0; // 0: not known

    static TOwnerProcess Current();
    // Whether the process still runs. One whose start is not known is
    // judged by its id alone.
    bool Alive() const;
};

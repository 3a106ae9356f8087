#pragma once

#include "grabber/StreamJobs.h"
#include "grabber/TJvCustomUrlGrabberThread.h"

#include <optional>
#include <vector>

// The worker of the stream grabber: it fetches the pieces of the plan into
// the part beside the target (TStreamFetch), writing down in the part's
// record each piece stored, so that a later run fetches only the missing
// ones; then it joins them into the file the target becomes.
class TJvStreamUrlGrabberThread : public TJvCustomUrlGrabberThread {
public:
    using TJvCustomUrlGrabberThread::TJvCustomUrlGrabberThread;

protected:
    void Grab() override;

private:
    struct TStored {
        std::int64_t Offset = -1; // -1: not stored
        std::int64_t Length = 0;
    };

    // Takes what the part holds when an earlier run began it for the same
    // plan and the settings allow continuing; else begins the part anew.
    void TakeStoredPieces(const TJvGrabberSettings& settings, const TStreamJobs& jobs);
    void Store(const TStreamJobs& jobs, std::size_t job, const std::string& bytes);
    void ShowProgress(std::int64_t onTheirWay);
    // The joined file beside the target; false when it could not be made
    // (the failure is recorded) or the run was stopped.
    bool Join(const TJvGrabberSettings& settings, const TStreamJobs& jobs);

    std::vector<TStored> stored_;
    std::int64_t storedBytes_ = 0;
    double storedSeconds_ = 0; // of the video
    double seconds_ = 0;
    std::optional<std::int64_t> bandwidth_;
};

#pragma once

#include "grabber/TJvCustomUrlGrabberThread.h"

struct TInternetHandle;

// The worker of the HTTP and HTTPS grabbers: one GET over the network layer.
class TJvHttpUrlGrabberThread : public TJvCustomUrlGrabberThread {
public:
    using TJvCustomUrlGrabberThread::TJvCustomUrlGrabberThread;
    ~TJvHttpUrlGrabberThread() override;

protected:
    void Grab() override;

private:
    struct Handles {
        TInternetHandle* session = nullptr;
        TInternetHandle* connection = nullptr;
        TInternetHandle* request = nullptr;
    };

    void Fetch(Handles& handles, const TJvGrabberSettings& settings);
    bool OpenRequest(Handles& handles, const TJvGrabberSettings& settings, const std::string& object);
    // Records the status code and the announced size; false when the
    // response cannot be saved (the error has been handed over).
    bool ExamineResponse(TInternetHandle* request);
};

#pragma once

#include "grabber/TJvCustomUrlGrabberThread.h"

// The worker of the FTP grabber: one file download over the network layer.
class TJvFtpUrlGrabberThread : public TJvCustomUrlGrabberThread {
public:
    using TJvCustomUrlGrabberThread::TJvCustomUrlGrabberThread;
    ~TJvFtpUrlGrabberThread() override;

protected:
    void Grab() override;

private:
    struct Handles {
        TInternetHandle* session = nullptr;
        TInternetHandle* connection = nullptr;
        TInternetHandle* file = nullptr;
    };
    void Fetch(Handles& handles, const TJvGrabberSettings& settings);
};

#pragma once

#include "grabber/TJvCustomUrlGrabberThread.h"

// The worker of the FTP grabber: one file download over the network layer.
class TJvFtpUrlGrabberThread : public TJvCustomUrlGrabberThread {
public:
    using TJvCustomUrlGrabberThread::TJvCustomUrlGrabberThread;

protected:
    void PrepareSession(const TJvGrabberSettings& settings) override;
    TInternetHandle* ConnectToServer(const TJvGrabberSettings& settings) override;
    void Transfer(const TJvGrabberSettings& settings) override;
};

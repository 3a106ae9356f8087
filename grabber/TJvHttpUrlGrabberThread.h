#pragma once

#include "grabber/TJvCustomUrlGrabberThread.h"

// The worker of the HTTP and HTTPS grabbers: one GET over the network layer.
class TJvHttpUrlGrabberThread : public TJvCustomUrlGrabberThread {
public:
    using TJvCustomUrlGrabberThread::TJvCustomUrlGrabberThread;

protected:
    std::string SessionFailureText() const override;
    void PrepareSession(const TJvGrabberSettings& settings) override;
    TInternetHandle* ConnectToServer(const TServerAddress& address, const TJvGrabberSettings& settings) override;
    void Transfer(const TJvGrabberSettings& settings, const std::string& object) override;

private:
    bool OpenRequest(const TJvGrabberSettings& settings, const std::string& object);
    // Records the status code and the announced size; false when the
    // response cannot be saved (the error has been handed over).
    bool ExamineResponse(const TJvGrabberSettings& settings);
    bool IsWebPage();
};

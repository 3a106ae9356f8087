#pragma once

#include "grabber/TJvCustomUrlGrabberThread.h"

#include <string>

// The worker of the local-file grabber.
class TJvLocalFileUrlGrabberThread : public TJvCustomUrlGrabberThread {
public:
    using TJvCustomUrlGrabberThread::TJvCustomUrlGrabberThread;

    // The path an address names: "file://" removed, relative paths made
    // absolute.
    static std::string LocalPath(const std::string& url);

protected:
    void Grab() override;

private:
    void Copy(const TJvGrabberSettings& settings, const std::string& path);
};

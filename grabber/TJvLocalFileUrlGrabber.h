#pragma once

#include "grabber/TJvCustomUrlGrabber.h"

// Copies a local file, with the same events as the network grabbers.
class TJvLocalFileUrlGrabber : public TJvCustomUrlGrabber {
public:
    explicit TJvLocalFileUrlGrabber(TComponent* owner = nullptr) : TJvCustomUrlGrabber(owner) {}

    static const TJvUrlGrabberClass& ClassType();
    const TJvUrlGrabberClass& GrabberClass() const override { return ClassType(); }
    static std::string GetProtocolMarker() { return "file://"; }
    static std::string GetProtocolName() { return "LocalFile"; }
    // A file address, a network path, a drive path, or a file that exists.
    static bool CanGrab(const std::string& url);

    // Gives the target the source's permission bits after the copy.
    bool PreserveAttributes() const { return preserveAttributes_; }
    void SetPreserveAttributes(bool value) { preserveAttributes_ = value; }

protected:
    void FillSettings(TJvGrabberSettings& settings) const override;

private:
    bool preserveAttributes_ = true;
};

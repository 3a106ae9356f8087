#pragma once

#include "grabber/TJvCustomUrlGrabber.h"

// Copies a local file, with the same events as the network grabbers.
class TJvLocalFileUrlGrabber : public TJvCustomUrlGrabber {
public:
    explicit TJvLocalFileUrlGrabber(TComponent* owner = nullptr) : TJvCustomUrlGrabber(owner) {}
    // The worker reads this class's members and virtuals: stop it while
    // they still exist.
    ~TJvLocalFileUrlGrabber() override { Stop(); }

    static const TJvUrlGrabberClass& ClassType();
    const TJvUrlGrabberClass& GrabberClass() const override { return ClassType(); }
    static std::string GetProtocolMarker() { return "file://"; }
    static std::string GetProtocolName() { return "LocalFile"; }
    // A file address, a network path, a drive path, or a file that exists.
    static bool CanGrab(const std::string& url);

    // Keeps the path whole behind the marker: splitting it at its first "/"
    // as network addresses are split would lose the root of an absolute path.
    void SetUrl(const std::string& value) override;

    // Gives the target the source's permission bits after the copy.
    bool PreserveAttributes() const { return settings_.PreserveAttributes; }
    void SetPreserveAttributes(bool value) { settings_.PreserveAttributes = value; }
};

#pragma once

#include "grabber/TJvHttpUrlGrabber.h"

// HTTP over TLS; it differs from its base only in its class-level values.
class TJvHttpsUrlGrabber : public TJvHttpUrlGrabber {
public:
    explicit TJvHttpsUrlGrabber(TComponent* owner = nullptr) : TJvHttpUrlGrabber(owner) {}

    static const TJvUrlGrabberClass& ClassType();
    const TJvUrlGrabberClass& GrabberClass() const override { return ClassType(); }
    static std::string GetProtocolMarker() { return "https://"; }
    static std::string GetProtocolName() { return "Secure HTTP"; }
    static bool CanGrab(const std::string& url);
};

#pragma once

#include "grabber/TJvProxyingUrlGrabber.h"

// Fetches a file from an FTP server.
class TJvFtpUrlGrabber : public TJvProxyingUrlGrabber {
public:
    explicit TJvFtpUrlGrabber(TComponent* owner = nullptr);
    // The worker reads this class's members and virtuals: stop it while
    // they still exist.
    ~TJvFtpUrlGrabber() override { Stop(); }

    static const TJvUrlGrabberClass& ClassType();
    const TJvUrlGrabberClass& GrabberClass() const override { return ClassType(); }
    static std::string GetProtocolMarker() { return "ftp://"; }
    static std::string GetProtocolName() { return "FTP"; }
    static bool CanGrab(const std::string& url) { return HasMarker(url, GetProtocolMarker()); }

    bool Passive() const { return settings_.Passive; }
    void SetPassive(bool value) { settings_.Passive = value; }
    TJvFtpDownloadMode Mode() const { return settings_.Mode; }
    void SetMode(TJvFtpDownloadMode value) { settings_.Mode = value; }

    // OnStatusChange, then the stage event of the worker's last status.
    void DoStatus() override;
};

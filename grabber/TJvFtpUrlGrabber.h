#pragma once

#include "grabber/TJvProxyingUrlGrabber.h"

// Fetches a file from an FTP server.
class TJvFtpUrlGrabber : public TJvProxyingUrlGrabber {
public:
    explicit TJvFtpUrlGrabber(TComponent* owner = nullptr);

    static const TJvUrlGrabberClass& ClassType();
    const TJvUrlGrabberClass& GrabberClass() const override { return ClassType(); }
    static std::string GetProtocolMarker() { return "ftp://"; }
    static std::string GetProtocolName() { return "FTP"; }
    static bool CanGrab(const std::string& url) { return HasMarker(url, GetProtocolMarker()); }

    bool Passive() const { return passive_; }
    void SetPassive(bool value) { passive_ = value; }
    TJvFtpDownloadMode Mode() const { return mode_; }
    void SetMode(TJvFtpDownloadMode value) { mode_ = value; }

    // OnStatusChange, then the stage event of the worker's last status.
    void DoStatus() override;

protected:
    void FillSettings(TJvGrabberSettings& settings) const override;

private:
    bool passive_ = true;
    TJvFtpDownloadMode mode_ = hmBinary;
};

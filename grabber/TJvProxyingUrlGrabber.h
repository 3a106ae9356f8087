#pragma once

#include "grabber/TJvCustomUrlGrabber.h"

// A grabber that reaches its server through the network session's proxy
// settings.
class TJvProxyingUrlGrabber : public TJvCustomUrlGrabber {
public:
    explicit TJvProxyingUrlGrabber(TComponent* owner = nullptr) : TJvCustomUrlGrabber(owner) {}

    TJvProxyMode ProxyMode() const { return settings_.ProxyMode; }
    void SetProxyMode(TJvProxyMode value) { settings_.ProxyMode = value; }
    const std::string& ProxyAddresses() const { return settings_.ProxyAddresses; }
    void SetProxyAddresses(const std::string& value) { settings_.ProxyAddresses = value; }
    const std::string& ProxyIgnoreList() const { return settings_.ProxyIgnoreList; }
    void SetProxyIgnoreList(const std::string& value) { settings_.ProxyIgnoreList = value; }
    const std::string& ProxyUserName() const { return settings_.ProxyUserName; }
    void SetProxyUserName(const std::string& value) { settings_.ProxyUserName = value; }
    const std::string& ProxyPassword() const { return settings_.ProxyPassword; }
    void SetProxyPassword(const std::string& value) { settings_.ProxyPassword = value; }

    std::vector<TPublishedText> PublishedTexts() override;
};

#pragma once

#include "grabber/TJvCustomUrlGrabber.h"

// A grabber that reaches its server through the network session's proxy
// settings.
class TJvProxyingUrlGrabber : public TJvCustomUrlGrabber {
public:
    explicit TJvProxyingUrlGrabber(TComponent* owner = nullptr) : TJvCustomUrlGrabber(owner) {}

    TJvProxyMode ProxyMode() const { return proxyMode_; }
    void SetProxyMode(TJvProxyMode value) { proxyMode_ = value; }
    const std::string& ProxyAddresses() const { return proxyAddresses_; }
    void SetProxyAddresses(const std::string& value) { proxyAddresses_ = value; }
    const std::string& ProxyIgnoreList() const { return proxyIgnoreList_; }
    void SetProxyIgnoreList(const std::string& value) { proxyIgnoreList_ = value; }
    const std::string& ProxyUserName() const { return proxyUserName_; }
    void SetProxyUserName(const std::string& value) { proxyUserName_ = value; }
    const std::string& ProxyPassword() const { return proxyPassword_; }
    void SetProxyPassword(const std::string& value) { proxyPassword_ = value; }

    std::vector<TPublishedText> PublishedTexts() override;

protected:
    void FillSettings(TJvGrabberSettings& settings) const override;

private:
    TJvProxyMode proxyMode_ = pmSysConfig;
    std::string proxyAddresses_ = "proxyserver";
    std::string proxyIgnoreList_ = "<local>";
    std::string proxyUserName_;
    std::string proxyPassword_;
};

#pragma once

#include "grabber/TJvGrabberTypes.h"
#include "runtime/TObject.h"

#include <cstdint>
#include <string>

// Settings templates: what a new grabber of a class starts with. The
// program creates none; the class-level GetDefaultPropertiesClass names them.
class TJvCustomUrlGrabberDefaultProperties : public TObject {
public:
    std::string ClassName() const override { return "TJvCustomUrlGrabberDefaultProperties"; }

    // Copies the common settings; subclasses add their own.
    virtual void Assign(const TJvCustomUrlGrabberDefaultProperties& source);

    std::string Agent = "Vantorel";
    std::uint32_t Port = 0;
    std::string UserName;
    std::string Password;
    std::string FileName = "output.txt";
    TJvOutputMode OutputMode = omFile;
};

class TJvProxyingUrlGrabberDefaultProperties : public TJvCustomUrlGrabberDefaultProperties {
public:
    std::string ClassName() const override { return "TJvProxyingUrlGrabberDefaultProperties"; }

    TJvProxyMode ProxyMode = pmSysConfig;
    std::string ProxyAddresses = "proxyserver";
    std::string ProxyIgnoreList = "<local>";
    std::string ProxyUserName;
    std::string ProxyPassword;
};

class TJvHttpUrlGrabberDefaultProperties : public TJvProxyingUrlGrabberDefaultProperties {
public:
    TJvHttpUrlGrabberDefaultProperties() { Port = 80; }
    std::string ClassName() const override { return "TJvHttpUrlGrabberDefaultProperties"; }

    std::string Referer;
};

class TJvHttpsUrlGrabberDefaultProperties : public TJvHttpUrlGrabberDefaultProperties {
public:
    std::string ClassName() const override { return "TJvHttpsUrlGrabberDefaultProperties"; }
};

class TJvFtpUrlGrabberDefaultProperties : public TJvProxyingUrlGrabberDefaultProperties {
public:
    TJvFtpUrlGrabberDefaultProperties() { Port = 21; }
    std::string ClassName() const override { return "TJvFtpUrlGrabberDefaultProperties"; }
    void Assign(const TJvCustomUrlGrabberDefaultProperties& source) override;

    bool Passive = true;
    TJvFtpDownloadMode Mode = hmBinary;
};

class TJvLocalFileUrlGrabberProperties : public TJvCustomUrlGrabberDefaultProperties {
public:
    std::string ClassName() const override { return "TJvLocalFileUrlGrabberProperties"; }
    void Assign(const TJvCustomUrlGrabberDefaultProperties& source) override;

    bool PreserveAttributes = true;
};

// The class-level factory a grabber class names.
template <typename Properties>
TJvCustomUrlGrabberDefaultProperties* CreateDefaultProperties()
{
    return new Properties;
}

#pragma once

#include "grabber/TJvGrabberTypes.h"
#include "runtime/TObject.h"

#include <cstdint>
#include <string>

// Settings templates: what a new grabber of a class starts with, the
// component's own settings and values. The program creates none; the
// class-level GetDefaultPropertiesClass names them.
class TJvCustomUrlGrabberDefaultProperties : public TObject, public TJvCommonProperties {
public:
    std::string ClassName() const override { return "TJvCustomUrlGrabberDefaultProperties"; }

    // Copies the common settings; subclasses add their own.
    virtual void Assign(const TJvCustomUrlGrabberDefaultProperties& source);
};

class TJvProxyingUrlGrabberDefaultProperties : public TJvCustomUrlGrabberDefaultProperties, public TJvProxyProperties {
public:
    std::string ClassName() const override { return "TJvProxyingUrlGrabberDefaultProperties"; }
};

class TJvHttpUrlGrabberDefaultProperties : public TJvProxyingUrlGrabberDefaultProperties {
public:
    TJvHttpUrlGrabberDefaultProperties() { Port = kJvHttpTemplatePort; }
    std::string ClassName() const override { return "TJvHttpUrlGrabberDefaultProperties"; }

    std::string Referer;
};

class TJvHttpsUrlGrabberDefaultProperties : public TJvHttpUrlGrabberDefaultProperties {
public:
    std::string ClassName() const override { return "TJvHttpsUrlGrabberDefaultProperties"; }
};

class TJvFtpUrlGrabberDefaultProperties : public TJvProxyingUrlGrabberDefaultProperties, public TJvFtpProperties {
public:
    TJvFtpUrlGrabberDefaultProperties() { Port = kJvFtpPort; }
    std::string ClassName() const override { return "TJvFtpUrlGrabberDefaultProperties"; }
    void Assign(const TJvCustomUrlGrabberDefaultProperties& source) override;
};

class TJvLocalFileUrlGrabberProperties : public TJvCustomUrlGrabberDefaultProperties {
public:
    std::string ClassName() const override { return "TJvLocalFileUrlGrabberProperties"; }
    void Assign(const TJvCustomUrlGrabberDefaultProperties& source) override;

    bool PreserveAttributes = TJvGrabberSettings{}.PreserveAttributes;
};

// The class-level factory a grabber class names.
template <typename Properties>
TJvCustomUrlGrabberDefaultProperties* CreateDefaultProperties()
{
    return new Properties;
}

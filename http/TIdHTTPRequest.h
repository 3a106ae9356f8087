#pragma once

#include "http/TIdIPVersion.h"
#include "http/TIdRequestHeaderInfo.h"

class TStream;

enum TIdHTTPConnectionType { ctNormal, ctSSL, ctProxy, ctSSLProxy };

// The request the client sends: its head fields, the target and verb, and
// the body of a POST or PUT.
class TIdHTTPRequest : public TIdRequestHeaderInfo {
public:
    std::string ClassName() const override { return "TIdHTTPRequest"; }

    // The address given to the request, then the target of the request line.
    const std::string& Target() const { return target_; }
    void SetTarget(std::string value) { target_ = std::move(value); }
    const std::string& Verb() const { return verb_; }
    void SetVerb(std::string value) { verb_ = std::move(value); }
    TStream* BodySource() const { return bodySource_; }
    void SetBodySource(TStream* stream) { bodySource_ = stream; }
    TIdHTTPConnectionType ConnectionKind() const { return connectionKind_; }
    void SetConnectionKind(TIdHTTPConnectionType kind) { connectionKind_ = kind; }
    TIdIPVersion IPVersion() const { return ipVersion_; }
    void SetIPVersion(TIdIPVersion version) { ipVersion_ = version; }

private:
    std::string target_;
    std::string verb_ = "GET";
    TStream* bodySource_ = nullptr;
    TIdHTTPConnectionType connectionKind_ = ctNormal;
    TIdIPVersion ipVersion_ = Id_IPv4;
};

#pragma once

#include "http/TIdEntityHeaderInfo.h"

#include <span>
#include <utility>
#include <vector>

// The fields of a response head.
class TIdResponseHeaderInfo : public TIdEntityHeaderInfo {
public:
    TIdResponseHeaderInfo() { Clear(); }
    std::string ClassName() const override { return "TIdResponseHeaderInfo"; }

    void Clear() override;
    void ProcessHeaders() override;
    void SetHeaders() override;

    const std::string& Location() const { return location_; }
    void SetLocation(std::string value) { location_ = std::move(value); }
    const std::string& Server() const { return server_; }
    const std::string& ProxyConnection() const { return proxyConnection_; }
    const std::string& AcceptRanges() const { return acceptRanges_; }
    const std::vector<std::string>& WWWAuthenticate() const { return wwwAuthenticate_; }
    const std::vector<std::string>& ProxyAuthenticate() const { return proxyAuthenticate_; }

protected:
    std::string DefaultContentType() const override { return "text/html"; }

private:
    using TTextField = std::pair<const char*, std::string TIdResponseHeaderInfo::*>;
    // The fields held as plain text, each with its header's name, in the
    // order they are written.
    static std::span<const TTextField> TextFields();

    std::string location_;
    std::string server_;
    std::string proxyConnection_;
    std::string acceptRanges_;
    std::vector<std::string> wwwAuthenticate_;
    std::vector<std::string> proxyAuthenticate_;
};

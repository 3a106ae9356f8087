#pragma once

#include "http/TIdEntityHeaderInfo.h"

#include <span>
#include <utility>

// The value of an Authorization (or Proxy-Authorization) header that gives
// a user name and password in the Basic scheme.
std::string BasicCredentials(const std::string& username, const std::string& password);

// The fields of a request head.
class TIdRequestHeaderInfo : public TIdEntityHeaderInfo {
public:
    static constexpr const char* kDefaultAccept = "text/html, */*";
    static constexpr const char* kDefaultUserAgent = "Mozilla/3.0 (compatible; Vark Library)";

    TIdRequestHeaderInfo() { Clear(); }
    std::string ClassName() const override { return "TIdRequestHeaderInfo"; }

    void Clear() override;
    void ProcessHeaders() override;
    void SetHeaders() override;

    const std::string& Accept() const { return accept_; }
    void SetAccept(std::string value) { accept_ = std::move(value); }
    const std::string& AcceptCharSet() const { return acceptCharSet_; }
    void SetAcceptCharSet(std::string value) { acceptCharSet_ = std::move(value); }
    const std::string& AcceptEncoding() const { return acceptEncoding_; }
    void SetAcceptEncoding(std::string value) { acceptEncoding_ = std::move(value); }
    const std::string& AcceptLanguage() const { return acceptLanguage_; }
    void SetAcceptLanguage(std::string value) { acceptLanguage_ = std::move(value); }
    const std::string& Host() const { return host_; }
    void SetHost(std::string value) { host_ = std::move(value); }
    const std::string& From() const { return from_; }
    void SetFrom(std::string value) { from_ = std::move(value); }
    const std::string& Referer() const { return referer_; }
    void SetReferer(std::string value) { referer_ = std::move(value); }
    const std::string& UserAgent() const { return userAgent_; }
    void SetUserAgent(std::string value) { userAgent_ = std::move(value); }
    const std::string& Username() const { return username_; }
    void SetUsername(std::string value) { username_ = std::move(value); }
    const std::string& Password() const { return password_; }
    void SetPassword(std::string value) { password_ = std::move(value); }
    bool BasicAuthentication() const { return basicAuthentication_; }
    void SetBasicAuthentication(bool value) { basicAuthentication_ = value; }
    const std::string& ProxyConnection() const { return proxyConnection_; }
    void SetProxyConnection(std::string value) { proxyConnection_ = std::move(value); }
    const std::string& Range() const { return range_; }
    void SetRange(std::string value) { range_ = std::move(value); }

private:
    using TTextField = std::pair<const char*, std::string TIdRequestHeaderInfo::*>;
    // The fields held as plain text, each with its header's name, in the
    // order they are written.
    static std::span<const TTextField> TextFields();

    std::string accept_;
    std::string acceptCharSet_;
    std::string acceptEncoding_;
    std::string acceptLanguage_;
    std::string host_;
    std::string from_;
    std::string referer_;
    std::string userAgent_;
    std::string username_;
    std::string password_;
    bool basicAuthentication_ = false;
    std::string proxyConnection_;
    std::string range_;
};

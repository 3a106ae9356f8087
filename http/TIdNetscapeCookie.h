#pragma once

#include "runtime/TObject.h"

#include <cstdint>
#include <string>
#include <vector>

enum TIdCookieKind { ckNetscape, ckRFC2109, ckRFC2965 };

// One cookie as a Set-Cookie header describes it: the name=value item and the
// path, domain, expiry and secure attributes.
class TIdNetscapeCookie : public TObject {
public:
    std::string ClassName() const override { return "TIdNetscapeCookie"; }

    const std::string& CookieName() const { return cookieName_; }
    void SetCookieName(std::string name) { cookieName_ = std::move(name); }
    const std::string& CookieValue() const { return cookieValue_; }
    void SetCookieValue(std::string value) { cookieValue_ = std::move(value); }
    const std::string& CookiePath() const { return cookiePath_; }
    void SetCookiePath(std::string path) { cookiePath_ = std::move(path); }
    const std::string& CookieDomain() const { return cookieDomain_; }
    void SetCookieDomain(std::string domain) { cookieDomain_ = std::move(domain); }
    // An HTTP date; empty for a cookie that lasts as long as the store.
    const std::string& ExpiryText() const { return expiryText_; }
    void SetExpiryText(std::string text) { expiryText_ = std::move(text); }
    bool SecureOnly() const { return secureOnly_; }
    void SetSecureOnly(bool secure) { secureOnly_ = secure; }
    TIdCookieKind CookieKind() const { return cookieKind_; }
    void SetCookieKind(TIdCookieKind kind) { cookieKind_ = kind; }
    const std::string& LastParsedText() const { return lastParsedText_; }

    // Reads a Set-Cookie value into the fields; the same text twice in a row
    // is read once.
    void ParseCookieText(const std::string& text);

    // The cookie as a server would set it: name=value and its attributes.
    virtual std::string ServerForm() const;
    // The cookie as a request carries it: name=value.
    std::string ClientForm() const { return cookieName_ + "=" + cookieValue_; }

    // A cookie expires in the second its date names (so max-age=0 expires at
    // once). An expiry that cannot be read never expires: the cookie then
    // lasts as long as the store.
    bool IsExpired(std::int64_t nowUtcSeconds) const;

protected:
    // The attribute items after the first, each "NAME=value" or "FLAG" with
    // the name in upper case.
    using TAttributeItems = std::vector<std::string>;

    virtual void LoadAttributes(const TAttributeItems& items);
    static bool FindAttribute(const TAttributeItems& items, const std::string& name, std::string& value);
    static std::string AttributeValue(const TAttributeItems& items, const std::string& name);
    static bool HasFlag(const TAttributeItems& items, const std::string& flag);
    static void AppendAttribute(std::string& text, const std::string& name, const std::string& value);

    TIdCookieKind cookieKind_ = ckNetscape;

private:
    std::string cookieName_;
    std::string cookieValue_;
    std::string cookiePath_ = "/";
    std::string cookieDomain_;
    std::string expiryText_;
    bool secureOnly_ = false;
    std::string lastParsedText_;
};

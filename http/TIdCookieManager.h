#pragma once

#include "http/TIdCookies.h"

#include "runtime/TComponent.h"

#include <functional>
#include <memory>
#include <string>

class TIdURI;

using TOnNewCookieEvent = std::function<void(TObject* ASender, TIdCookieRFC2109* ACookie, bool& VAccept)>;
using TOnManagerEvent = std::function<void(TObject* ASender, TIdCookies* ACookieCollection)>;

// The cookie store of an HTTP client: it admits the cookies that responses
// set and builds the Cookie header of later requests. It lives in memory only.
class TIdCookieManager : public TComponent {
public:
    explicit TIdCookieManager(TComponent* owner = nullptr, TOnManagerEvent onCreate = {});
    ~TIdCookieManager() override;

    std::string ClassName() const override { return "TIdCookieManager"; }

    TIdCookies& CookieCollection() { return *cookies_; }

    // One Set-Cookie / Set-Cookie2 value received from host.
    void StoreSetCookie(const std::string& text, const std::string& host);
    void StoreSetCookie2(const std::string& text, const std::string& host);

    // The Cookie value for a request to address; empty when no cookie applies.
    std::string BuildCookieHeader(const TIdURI& address, bool secure);
    std::string BuildCookieHeader(const std::string& host, const std::string& directory, bool secure);

    void DropExpired();

    // Whether host would accept a cookie for domain (the domain test of
    // admission, without the cookie).
    static bool DomainAccepted(const std::string& domain, const std::string& host);
    static bool IsIPv4Address(const std::string& text);

    TOnNewCookieEvent OnNewCookie;
    TOnManagerEvent OnCreate;
    TOnManagerEvent OnDestroy;

private:
    void Admit(std::unique_ptr<TIdCookieRFC2109> cookie, const std::string& text, const std::string& host);

    std::unique_ptr<TIdCookies> cookies_;
};

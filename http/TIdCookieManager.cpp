#include "http/TIdCookieManager.h"

#include "http/HttpDate.h"
#include "http/TIdCookieRFC2965.h"
#include "http/TIdStack.h"
#include "http/TIdURI.h"
#include "runtime/AsciiText.h"
#include "runtime/Events.h"

TIdCookieManager::TIdCookieManager(TComponent* owner, TOnManagerEvent onCreate)
    : TComponent(owner), OnCreate(std::move(onCreate)), cookies_(std::make_unique<TIdCookies>())
{
    RaiseEvent(OnCreate, this, cookies_.get());
}

TIdCookieManager::~TIdCookieManager()
{
    DropExpired();
    RaiseEvent(OnDestroy, this, cookies_.get());
}

void TIdCookieManager::StoreSetCookie(const std::string& text, const std::string& host)
{
    Admit(std::make_unique<TIdCookieRFC2109>(), text, host);
}

void TIdCookieManager::StoreSetCookie2(const std::string& text, const std::string& host)
{
    Admit(std::make_unique<TIdCookieRFC2965>(), text, host);
}

void TIdCookieManager::Admit(std::unique_ptr<TIdCookieRFC2109> cookie, const std::string& text, const std::string& host)
{
    TIdCookieRFC2109* item = cookies_->Adopt(std::move(cookie));
    item->ParseCookieText(text);
    if (item->CookieDomain().empty())
        item->SetCookieDomain(host);
    if (!DomainAccepted(item->CookieDomain(), host)) {
        cookies_->Remove(item);
        return;
    }
    bool accept = true;
    RaiseEvent(OnNewCookie, this, item, accept);
    if (!accept) {
        cookies_->Remove(item);
        return;
    }
    cookies_->AddOrReplace(item);
}

bool TIdCookieManager::IsIPv4Address(const std::string& text)
{
    return TIdStack::IsIP(AsciiText::Trim(text), Id_IPv4);
}

// A domain is accepted when it is the host's IPv4 address, when it is a tail
// of the host, or (for a host written with a leading dot) when it is the host
// from its first dot on.
bool TIdCookieManager::DomainAccepted(const std::string& domain, const std::string& host)
{
    if (IsIPv4Address(host))
        return domain == host;
    if (host.empty() || host.front() != '.')
        return AsciiText::EndsWith(host, domain);
    return AsciiText::SameText(domain, host.substr(host.find('.')));
}

std::string TIdCookieManager::BuildCookieHeader(const TIdURI& address, bool secure)
{
    return BuildCookieHeader(address.Host(), address.Directory(), secure);
}

std::string TIdCookieManager::BuildCookieHeader(const std::string& host, const std::string& directory, bool secure)
{
    DropExpired();
    return cookies_->BuildCookieHeader(host, directory, secure);
}

void TIdCookieManager::DropExpired()
{
    cookies_->DropExpired(NowUtcSeconds());
}

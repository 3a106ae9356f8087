#include "http/TIdCookieManager.h"

#include "http/HttpDate.h"
#include "http/HttpText.h"
#include "http/TIdCookieRFC2965.h"
#include "http/TIdURI.h"

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
    std::string address = HttpText::Trim(text);
    int parts = 0;
    std::size_t start = 0;
    while (true) {
        std::size_t dot = address.find('.', start);
        std::string part = address.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (part.empty() || part.size() > 3 || part.find_first_not_of("0123456789") != std::string::npos
            || std::stoi(part) > 255)
            return false;
        ++parts;
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    return parts == 4;
}

// A domain is accepted when it is the host's IPv4 address, when it is a tail
// of the host, or (for a host written with a leading dot) when it is the host
// from its first dot on.
bool TIdCookieManager::DomainAccepted(const std::string& domain, const std::string& host)
{
    if (IsIPv4Address(host))
        return domain == host;
    if (host.empty() || host.front() != '.')
        return HttpText::EndsWith(host, domain);
    return HttpText::SameText(domain, host.substr(host.find('.')));
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

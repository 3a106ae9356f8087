#include "http/TIdCookies.h"

#include "runtime/AsciiText.h"

#include <algorithm>
#include <mutex>

std::size_t TIdCookies::Count() const
{
    std::shared_lock lock(lock_);
    return items_.size();
}

std::vector<std::string> TIdCookies::Domains() const
{
    std::shared_lock lock(lock_);
    std::vector<std::string> domains;
    for (const TDomainEntry& entry : index_)
        domains.push_back(entry.Domain);
    return domains;
}

std::vector<TIdCookieRFC2109*> TIdCookies::CookiesOfDomain(std::string_view domain) const
{
    std::shared_lock lock(lock_);
    std::vector<TIdCookieRFC2109*> cookies;
    for (const TDomainEntry& entry : index_)
        if (AsciiText::SameText(entry.Domain, domain))
            for (std::size_t i = 0; i < entry.Cookies.Count(); ++i)
                cookies.push_back(entry.Cookies.Cookies(i));
    return cookies;
}

TIdCookieRFC2109* TIdCookies::Adopt(std::unique_ptr<TIdCookieRFC2109> cookie)
{
    std::unique_lock lock(lock_);
    items_.push_back(std::move(cookie));
    return items_.back().get();
}

void TIdCookies::Remove(TIdCookieRFC2109* cookie)
{
    std::unique_lock lock(lock_);
    RemoveUnlocked(cookie);
}

void TIdCookies::RemoveUnlocked(TIdCookieRFC2109* cookie)
{
    for (TDomainEntry& entry : index_)
        entry.Cookies.Remove(cookie);
    std::erase_if(items_, [cookie](const auto& item) { return item.get() == cookie; });
}

TIdCookies::TDomainEntry& TIdCookies::FindOrAddDomain(const std::string& domain)
{
    for (TDomainEntry& entry : index_)
        if (AsciiText::SameText(entry.Domain, domain))
            return entry;
    index_.push_back({domain, {}});
    return index_.back();
}

TIdCookieRFC2109* TIdCookies::AddOrReplace(TIdCookieRFC2109* cookie)
{
    std::unique_lock lock(lock_);
    TDomainEntry& entry = FindOrAddDomain(cookie->CookieDomain());
    std::ptrdiff_t found = entry.Cookies.IndexOf(cookie->CookieName());
    if (found < 0) {
        entry.Cookies.Add(cookie->CookieName(), cookie);
        return cookie;
    }
    TIdCookieRFC2109* existing = entry.Cookies.Cookies(static_cast<std::size_t>(found));
    existing->ParseCookieText(cookie->ServerForm());
    existing->SetCookieKind(cookie->CookieKind());
    // The server form leaves out the expiry of some kinds; the replacement
    // must not outlive the date its server gave (a past date deletes it).
    existing->SetExpiryText(cookie->ExpiryText());
    RemoveUnlocked(cookie);
    return existing;
}

void TIdCookies::DropExpired(std::int64_t nowUtcSeconds)
{
    std::unique_lock lock(lock_);
    std::vector<TIdCookieRFC2109*> expired;
    for (const auto& item : items_)
        if (item->IsExpired(nowUtcSeconds))
            expired.push_back(item.get());
    for (TIdCookieRFC2109* cookie : expired)
        RemoveUnlocked(cookie);
}

bool TIdCookies::Applies(const TIdCookieRFC2109& cookie, const std::string& directory, bool secure)
{
    return directory.compare(0, cookie.CookiePath().size(), cookie.CookiePath()) == 0 &&
        (!cookie.SecureOnly() || secure) && !cookie.CookieValue().empty();
}

std::string TIdCookies::BuildCookieHeader(const std::string& host, const std::string& directory, bool secure) const
{
    std::shared_lock lock(lock_);
    std::vector<const TIdCookieRFC2109*> chosen;
    for (const TDomainEntry& entry : index_) {
        if (host.find(entry.Domain) == std::string::npos)
            continue;
        for (std::size_t i = entry.Cookies.Count(); i-- > 0;)
            if (Applies(*entry.Cookies.Cookies(i), directory, secure))
                chosen.push_back(entry.Cookies.Cookies(i));
    }
    std::string header;
    for (auto it = chosen.rbegin(); it != chosen.rend(); ++it) {
        if (!header.empty())
            header += "; ";
        header += (*it)->ClientForm();
    }
    return header;
}

#pragma once

#include "http/TIdCookieList.h"
#include "http/TIdCookieRFC2109.h"

#include "runtime/TObject.h"

#include <memory>
#include <shared_mutex>
#include <string>
#include <vector>

// The cookies of a store: it owns every cookie and keeps an index from domain
// to that domain's cookies. Domains keep the order of their first cookie, and
// an emptied domain keeps its place. Building a header takes the read side of
// the lock; adding, replacing and removing take the write side.
class TIdCookies : public TObject {
public:
    std::string ClassName() const override { return "TIdCookies"; }

    std::size_t Count() const;
    std::vector<std::string> Domains() const;
    // The cookies stored for domain (letter case ignored), in order of arrival.
    std::vector<TIdCookieRFC2109*> CookiesOfDomain(std::string_view domain) const;

    // Takes a new cookie into the collection; it is not in the index yet.
    TIdCookieRFC2109* Adopt(std::unique_ptr<TIdCookieRFC2109> cookie);
    // Frees a cookie of the collection, taking it out of the index too.
    void Remove(TIdCookieRFC2109* cookie);
    // Enters an adopted cookie under its domain. When the domain already has a
    // cookie of that name, that one takes over the new one's content and the
    // new one is freed; returns the cookie that stays.
    TIdCookieRFC2109* AddOrReplace(TIdCookieRFC2109* cookie);

    void DropExpired(std::int64_t nowUtcSeconds);
    // "a=1; b=2" for a request to host and directory.
    std::string BuildCookieHeader(const std::string& host, const std::string& directory, bool secure) const;

private:
    struct TDomainEntry {
        std::string Domain;
        TIdCookieList Cookies;
    };

    TDomainEntry& FindOrAddDomain(const std::string& domain);
    void RemoveUnlocked(TIdCookieRFC2109* cookie);
    static bool Applies(const TIdCookieRFC2109& cookie, const std::string& directory, bool secure);

    std::vector<std::unique_ptr<TIdCookieRFC2109>> items_;
    std::vector<TDomainEntry> index_;
    mutable std::shared_mutex lock_;
};

#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TIdCookieRFC2109;

// The cookies of one domain by name, in order of arrival. Names are looked up
// without regard to letter case. The list does not own its cookies.
class TIdCookieList {
public:
    std::size_t Count() const { return entries_.size(); }
    const std::string& Names(std::size_t index) const { return entries_.at(index).first; }
    TIdCookieRFC2109* Cookies(std::size_t index) const { return entries_.at(index).second; }

    std::ptrdiff_t IndexOf(std::string_view name) const;
    void Add(std::string name, TIdCookieRFC2109* cookie) { entries_.emplace_back(std::move(name), cookie); }
    void Delete(std::size_t index);
    // Removes the entry that points at cookie, if any.
    void Remove(const TIdCookieRFC2109* cookie);

private:
    std::vector<std::pair<std::string, TIdCookieRFC2109*>> entries_;
};

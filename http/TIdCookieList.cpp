#include "http/TIdCookieList.h"

#include "runtime/AsciiText.h"

#include <algorithm>

std::ptrdiff_t TIdCookieList::IndexOf(std::string_view name) const
{
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (AsciiText::SameText(entries_[i].first, name))
            return static_cast<std::ptrdiff_t>(i);
    return -1;
}

void TIdCookieList::Delete(std::size_t index)
{
    if (index < entries_.size())
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

void TIdCookieList::Remove(const TIdCookieRFC2109* cookie)
{
    std::erase_if(entries_, [cookie](const auto& entry) { return entry.second == cookie; });
}

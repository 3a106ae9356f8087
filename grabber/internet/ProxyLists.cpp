#include "grabber/internet/ProxyLists.h"

#include "runtime/AsciiText.h"

bool BypassesLocal(const std::string& bypass, const std::string& host)
{
    return bypass.find("<local>") != std::string::npos && host.find('.') == std::string::npos;
}

std::string ProxyFor(const std::string& list, const std::string& scheme)
{
    std::string fallback;
    for (const std::string& entry : AsciiText::SplitList(list, " ;")) {
        std::size_t equals = entry.find('=');
        if (equals == std::string::npos) {
            if (fallback.empty())
                fallback = entry;
        } else if (AsciiText::SameText(entry.substr(0, equals), scheme)) {
            return entry.substr(equals + 1);
        }
    }
    return fallback;
}

std::string NoProxyList(const std::string& bypass)
{
    std::string list;
    for (std::string entry : AsciiText::SplitList(bypass, " ;,")) {
        if (entry == "<local>")
            continue;
        // A "*" of its own stands for every host, in both notations.
        if (entry.front() == '*' && entry.size() > 1)
            entry.erase(0, 1);
        list += (list.empty() ? "" : ",") + entry;
    }
    return list;
}

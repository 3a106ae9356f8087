#include "http/TIdCookieRFC2965.h"

#include "runtime/AsciiText.h"

namespace {

// "80,8080" -> 80, 8080; parts that are not port numbers are skipped.
std::vector<int> ReadPortList(const std::string& list)
{
    std::vector<int> ports;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(',', start);
        std::string part = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (auto port = AsciiText::ToInt32(part); port && *port >= 0 && *port <= 65535)
            ports.push_back(*port);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return ports;
}

} // namespace

void TIdCookieRFC2965::LoadAttributes(const TAttributeItems& items)
{
    TIdCookieRFC2109::LoadAttributes(items);
    commentAddress_ = AttributeValue(items, "COMMENTURL");
    discardFlag_ = HasFlag(items, "DISCARD");
    std::string ports;
    if (HasFlag(items, "PORT")) {
        portNumbers_ = {80};
    } else if (FindAttribute(items, "PORT", ports) && ports.size() >= 2 && ports.front() == '"' &&
               ports.back() == '"') {
        portNumbers_ = ReadPortList(ports.substr(1, ports.size() - 2));
    }
}

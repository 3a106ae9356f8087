#include "http/TProxyRules.h"

#include "http/TWebAddress.h"
#include "runtime/AsciiText.h"

#include <arpa/inet.h>

#include <array>
#include <cstdlib>
#include <cstring>

namespace {

// Longer proxy addresses and no_proxy lists are no one's settings.
constexpr std::size_t kMaxProxyAddress = 2048;
constexpr std::size_t kMaxNoProxyList = 64 * 1024;
// curl's port for a proxy address that names none.
constexpr std::uint32_t kDefaultProxyPort = 1080;

// The first of the variables that is set and not empty.
std::string FirstSet(std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (const char* value = std::getenv(name); value && *value)
            return value;
    return {};
}

std::string_view WithoutBrackets(std::string_view host)
{
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        return host.substr(1, host.size() - 2);
    return host;
}

std::string_view WithoutTrailingDot(std::string_view name)
{
    if (!name.empty() && name.back() == '.')
        name.remove_suffix(1);
    return name;
}

// An IP address as its bytes: 4 for IPv4, 16 for IPv6, none for a name.
struct TIpBytes {
    std::array<unsigned char, 16> bytes{};
    std::size_t size = 0;
};

std::optional<TIpBytes> IpBytes(std::string_view text)
{
    const std::string zeroEnded(WithoutBrackets(text));
    TIpBytes ip;
    if (::inet_pton(AF_INET, zeroEnded.c_str(), ip.bytes.data()) == 1)
        ip.size = 4;
    else if (::inet_pton(AF_INET6, zeroEnded.c_str(), ip.bytes.data()) == 1)
        ip.size = 16;
    else
        return std::nullopt;
    return ip;
}

// Whether the first bits of two addresses of one family agree.
bool SamePrefix(const TIpBytes& a, const TIpBytes& b, std::size_t bits)
{
    for (std::size_t i = 0; i < a.size && bits > 0; ++i, bits -= std::min<std::size_t>(bits, 8)) {
        const unsigned mask = bits >= 8 ? 0xFFu : (0xFFu << (8 - bits)) & 0xFFu;
        if ((a.bytes[i] & mask) != (b.bytes[i] & mask))
            return false;
    }
    return true;
}

// "10.0.0.0/8", "::1" or "[::1]" against an address.
bool RangeCovers(std::string_view entry, const TIpBytes& host)
{
    const std::size_t slash = entry.find('/');
    std::optional<TIpBytes> range = IpBytes(entry.substr(0, slash));
    if (!range || range->size != host.size)
        return false;
    std::size_t bits = host.size * 8;
    if (slash != std::string_view::npos) {
        std::optional<std::uint64_t> prefix = AsciiText::ParseUnsigned(entry.substr(slash + 1));
        if (!prefix || *prefix > bits)
            return false;
        bits = static_cast<std::size_t>(*prefix);
    }
    return SamePrefix(*range, host, bits);
}

bool NameCovers(std::string_view entry, std::string_view host)
{
    if (!entry.empty() && entry.front() == '.')
        entry.remove_prefix(1);
    entry = WithoutTrailingDot(entry);
    if (entry.empty())
        return false;
    if (AsciiText::SameText(entry, host))
        return true;
    return host.size() > entry.size() && host[host.size() - entry.size() - 1] == '.' &&
        AsciiText::SameText(host.substr(host.size() - entry.size()), entry);
}

std::string PercentDecoded(std::string_view text)
{
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && AsciiText::HexDigitValue(text[i + 1]) >= 0 &&
            AsciiText::HexDigitValue(text[i + 2]) >= 0) {
            decoded +=
                static_cast<char>(AsciiText::HexDigitValue(text[i + 1]) * 16 + AsciiText::HexDigitValue(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

// What follows the host in an address's authority: nothing, or a port of
// digits that fits 16 bits (the address reader takes any other for none).
bool PortPartValid(std::string_view address, std::string_view host)
{
    std::string_view authority = address.substr(address.find("://") + 3);
    authority = authority.substr(0, std::min(authority.find_first_of("/?#"), authority.size()));
    if (std::size_t at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    const std::string_view port = authority.substr(std::min(host.size(), authority.size()));
    if (port.empty())
        return true;
    std::optional<std::uint64_t> number = port.front() == ':' ? AsciiText::ParseUnsigned(port.substr(1)) : std::nullopt;
    return number && *number > 0 && *number <= 0xFFFF;
}

bool HasBlankOrControl(std::string_view text)
{
    for (unsigned char c : text)
        if (c <= 0x20 || c == 0x7F)
            return true;
    return false;
}

} // namespace

TProxyRules TProxyRules::FromEnvironment()
{
    const std::string all = FirstSet({"all_proxy", "ALL_PROXY"});
    TProxyRules rules;
    rules.HttpProxy = FirstSet({"http_proxy"});
    rules.HttpsProxy = FirstSet({"https_proxy", "HTTPS_PROXY"});
    if (rules.HttpProxy.empty())
        rules.HttpProxy = all;
    if (rules.HttpsProxy.empty())
        rules.HttpsProxy = all;
    rules.NoProxy = FirstSet({"no_proxy", "NO_PROXY"});
    return rules;
}

TProxyRules TProxyRules::Only(const std::string& proxy)
{
    TProxyRules rules;
    rules.HttpProxy = rules.HttpsProxy = proxy;
    if (!proxy.empty())
        rules.NoProxy = FirstSet({"no_proxy", "NO_PROXY"});
    return rules;
}

std::string TProxyRules::ProxyFor(std::string_view scheme, std::string_view host) const
{
    const std::string& proxy = AsciiText::SameText(scheme, "https") ? HttpsProxy : HttpProxy;
    if (proxy.empty() || NoProxyCovers(NoProxy, host))
        return {};
    return proxy;
}

bool NoProxyCovers(std::string_view list, std::string_view host)
{
    if (list.size() > kMaxNoProxyList)
        return false;
    host = WithoutTrailingDot(WithoutBrackets(host));
    const std::optional<TIpBytes> ip = IpBytes(host);
    for (const std::string& entry : AsciiText::SplitList(list, ", \t")) {
        if (entry == "*")
            return true;
        if (ip ? RangeCovers(entry, *ip) : NameCovers(entry, host))
            return true;
    }
    return false;
}

std::optional<TIdProxyConnectionInfo> ReadProxyAddress(std::string_view text)
{
    if (text.empty() || text.size() > kMaxProxyAddress || HasBlankOrControl(text))
        return std::nullopt;
    const std::string withScheme =
        text.find("://") == std::string_view::npos ? "http://" + std::string(text) : std::string(text);
    std::optional<TWebAddress> address = TWebAddress::Parse(withScheme);
    if (!address || address->Scheme() != "http" || address->HostName().empty() ||
        !PortPartValid(withScheme, address->Host()))
        return std::nullopt;
    TIdProxyConnectionInfo proxy;
    proxy.ProxyServer = address->HostName();
    proxy.ProxyPort = static_cast<int>(address->Port() == 0 ? kDefaultProxyPort : address->Port());
    proxy.ProxyUsername = PercentDecoded(address->UserName());
    proxy.ProxyPassword = PercentDecoded(address->Password());
    proxy.BasicAuthentication = !proxy.ProxyUsername.empty();
    return proxy;
}

std::string ProxyAddressForMessage(std::string_view text)
{
    const std::size_t start = text.find("://") == std::string_view::npos ? 0 : text.find("://") + 3;
    const std::size_t end = std::min(text.find('/', start), text.size());
    const std::size_t at = text.substr(0, end).rfind('@');
    if (at == std::string_view::npos || at < start)
        return std::string(text.substr(0, kMaxProxyAddress));
    return std::string(text.substr(0, start)) + std::string(text.substr(at + 1, kMaxProxyAddress));
}

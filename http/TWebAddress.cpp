#include "http/TWebAddress.h"

#include "runtime/AsciiText.h"

#include <algorithm>
#include <cctype>

namespace {

bool IsSchemeCharacter(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
}

bool IsBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= ' ' || c == '\x7f';
}

std::uint32_t PortNumber(std::string_view digits)
{
    std::optional<std::uint64_t> value = AsciiText::ParseUnsigned(digits);
    return value && *value <= UINT32_MAX ? static_cast<std::uint32_t>(*value) : 0;
}

// The host and the port of an authority without user information. A
// bracketed literal ends at its "]"; a port follows the ":" after it.
void SplitHostAndPort(std::string_view authority, std::string& host, std::uint32_t& port)
{
    std::size_t hostEnd = 0;
    if (authority.starts_with('[') && authority.find(']') != std::string_view::npos)
        hostEnd = authority.find(']') + 1;
    else
        hostEnd = std::min(authority.find(':'), authority.size());
    host = authority.substr(0, hostEnd);
    std::string_view rest = authority.substr(hostEnd);
    port = rest.starts_with(':') ? PortNumber(rest.substr(1)) : 0;
}

} // namespace

std::optional<TWebAddress> TWebAddress::Parse(std::string_view text)
{
    const std::size_t separator = text.find("://");
    if (separator == std::string_view::npos || separator == 0 ||
        !std::all_of(text.begin(), text.begin() + separator, IsSchemeCharacter))
        return std::nullopt;
    TWebAddress address;
    address.text_ = text;
    address.scheme_ = AsciiText::LowerCase(text.substr(0, separator));

    std::string_view rest = text.substr(separator + 3);
    const std::size_t authorityEnd = std::min(rest.find_first_of("/?#"), rest.size());
    std::string_view authority = rest.substr(0, authorityEnd);
    if (std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        std::string_view user = authority.substr(0, at);
        std::size_t colon = std::min(user.find(':'), user.size());
        address.userName_ = user.substr(0, colon);
        address.password_ = user.substr(std::min(colon + 1, user.size()));
        authority.remove_prefix(at + 1);
    }
    SplitHostAndPort(authority, address.host_, address.port_);

    rest.remove_prefix(authorityEnd);
    const std::size_t fragment = std::min(rest.find('#'), rest.size());
    address.fragment_ = rest.substr(fragment);
    rest = rest.substr(0, fragment);
    const std::size_t query = std::min(rest.find('?'), rest.size());
    address.query_ = rest.substr(query);
    address.path_ = rest.substr(0, query);
    return address;
}

std::optional<TWebAddress> TWebAddress::ParseWeb(std::string_view text)
{
    std::optional<TWebAddress> address = Parse(text);
    if (address && !address->IsWeb())
        address.reset();
    return address;
}

std::string TWebAddress::HostName() const
{
    return IsIPv6Literal() && host_.back() == ']' ? host_.substr(1, host_.size() - 2) : host_;
}

std::string TWebAddress::Target() const
{
    return (path_.empty() ? "/" : path_) + query_;
}

std::string TWebAddress::HostAndPort() const
{
    return port_ == 0 ? host_ : host_ + ":" + std::to_string(port_);
}

std::string TWebAddress::RequestText() const
{
    return scheme_ + "://" + HostAndPort() + Target();
}

bool TWebAddress::IsWeb() const
{
    return (scheme_ == "http" || scheme_ == "https") && !host_.empty() &&
        std::none_of(text_.begin(), text_.end(), IsBlankOrControl);
}

std::string TWebAddress::Composed() const
{
    std::string user;
    if (!userName_.empty() || !password_.empty())
        user = userName_ + (password_.empty() ? "" : ":" + password_) + "@";
    return scheme_ + "://" + user + HostAndPort() + path_ + query_ + fragment_;
}

TWebAddress TWebAddress::WithPort(std::uint32_t port) const
{
    TWebAddress changed = *this;
    changed.port_ = port;
    changed.text_ = changed.Composed();
    return changed;
}

TWebAddress TWebAddress::WithUser(const std::string& userName, const std::string& password) const
{
    TWebAddress changed = *this;
    changed.userName_ = userName;
    changed.password_ = password;
    changed.text_ = changed.Composed();
    return changed;
}

TWebAddress TWebAddress::WithTarget(std::string_view target) const
{
    TWebAddress changed = *this;
    const std::size_t query = std::min(target.find('?'), target.size());
    changed.path_ = target.substr(0, query);
    changed.query_ = target.substr(query);
    changed.fragment_.clear();
    changed.text_ = changed.Composed();
    return changed;
}

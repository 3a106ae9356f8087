#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// An address as the program hands it on: read once, where it enters (the
// address field, the command line, a page, a redirect), and passed unchanged
// to whatever fetches it. It keeps the text as it was given and its parts:
//
//   scheme "://" [user [":" password] "@"] host [":" port] [path] ["?" query] ["#" fragment]
//
// The host keeps the brackets of an IPv6 literal ("[::1]"), as a Host header
// and an address text need them; HostName() is the name without them, for
// a resolver.
class TWebAddress {
public:
    // Nothing for text without "://" or without a scheme before it. The
    // authority ends at the first "/", "?" or "#"; user information at its
    // last "@", the user name at the first ":" of it. A port that is not a
    // decimal number of 32 bits counts as none.
    static std::optional<TWebAddress> Parse(std::string_view text);
    // Parse, for text that is a web address (see IsWeb); nothing otherwise.
    static std::optional<TWebAddress> ParseWeb(std::string_view text);

    // The address exactly as it was given.
    const std::string& Text() const { return text_; }
    // In lower case.
    const std::string& Scheme() const { return scheme_; }
    const std::string& UserName() const { return userName_; }
    const std::string& Password() const { return password_; }
    // As written, with the brackets of an IPv6 literal.
    const std::string& Host() const { return host_; }
    // The host without brackets: "::1" for "[::1]".
    std::string HostName() const;
    bool IsIPv6Literal() const { return host_.size() >= 2 && host_.front() == '['; }
    // 0 when the address names none (or names something else than a number).
    std::uint32_t Port() const { return port_; }
    // "" or from the first "/" on, without query and fragment.
    const std::string& Path() const { return path_; }
    // "" or from the "?" on, without the fragment.
    const std::string& Query() const { return query_; }
    // "" or from the "#" on.
    const std::string& Fragment() const { return fragment_; }

    // What a request asks for: the path ("/" when there is none) and query.
    std::string Target() const;
    // "host" or "host:port": the authority without user information, as a
    // Host header carries it.
    std::string HostAndPort() const;
    // The address a request goes to: scheme, host, port and target, without
    // user information and fragment.
    std::string RequestText() const;

    // An http or https address that names a host and holds no blanks or
    // control bytes.
    bool IsWeb() const;

    // The same address with another port, user information or target, its
    // text composed anew.
    TWebAddress WithPort(std::uint32_t port) const;
    TWebAddress WithUser(const std::string& userName, const std::string& password) const;
    TWebAddress WithTarget(std::string_view target) const;

    bool operator==(const TWebAddress& other) const { return text_ == other.text_; }

private:
    TWebAddress() = default;
    // The text the parts make: what the With operations give.
    std::string Composed() const;

    std::string text_;
    std::string scheme_;
    std::string userName_;
    std::string password_;
    std::string host_;
    std::uint32_t port_ = 0;
    std::string path_;
    std::string query_;
    std::string fragment_;
};

#pragma once

#include "http/TIdProxyConnectionInfo.h"

#include <optional>
#include <string>
#include <string_view>

// Which proxy each request goes through, chosen as curl chooses from the
// environment, so that both HTTP stacks of the program agree: http_proxy
// for http addresses (in lower case only, as curl reads it), https_proxy or
// HTTPS_PROXY for https ones, all_proxy or ALL_PROXY for either when its
// own is unset; the hosts that no_proxy or NO_PROXY names are reached
// directly. Empty rules send every request directly.
struct TProxyRules {
    std::string HttpProxy;  // the proxy address as written; empty: none
    std::string HttpsProxy; // likewise, for https addresses
    std::string NoProxy;    // the hosts reached directly (see NoProxyCovers)

    static TProxyRules FromEnvironment();
    // One proxy for every scheme, with the hosts the environment's no_proxy
    // names still reached directly (as curl's --proxy does); an empty proxy
    // sends everything directly.
    static TProxyRules Only(const std::string& proxy);

    // The proxy address for a request to host over scheme; empty for none.
    std::string ProxyFor(std::string_view scheme, std::string_view host) const;
};

// Whether a no_proxy list names host. Entries are separated by commas or
// blanks. "*" names every host; a name names itself and every name below it
// (".example.org" and "example.org" both name "www.example.org"); an IP
// address names itself, and with a prefix length ("10.0.0.0/8", "fd00::/8")
// every address in its range. Letter case does not matter, and an IPv6
// literal may keep its brackets.
bool NoProxyCovers(std::string_view list, std::string_view host);

// A proxy address as curl takes it: [http://][user[:password]@]host[:port],
// port 1080 when none is given, user and password percent-decoded. Nothing
// for another scheme, no host, a port beyond 65535, blanks, control bytes or
// more than 2048 bytes.
std::optional<TIdProxyConnectionInfo> ReadProxyAddress(std::string_view text);

// The address with its password hidden, for a message.
std::string ProxyAddressForMessage(std::string_view text);

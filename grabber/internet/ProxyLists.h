#pragma once

#include <string>

// The layer takes proxy settings in WinInet's notation; libcurl wants its own.

// Whether the bypass list's "<local>" entry covers host: every host name
// without a dot. libcurl has no such rule, so it is decided here.
bool BypassesLocal(const std::string& bypass, const std::string& host);

// The proxy for one scheme out of a list such as "http=web:8080 ftp=files:21"
// or "proxy:3128" (a proxy for every scheme); empty for none.
std::string ProxyFor(const std::string& list, const std::string& scheme);

// libcurl's no-proxy list out of a bypass list: commas between entries,
// "*.example.com" as ".example.com", "<local>" left out, "*" (every host)
// kept.
std::string NoProxyList(const std::string& bypass);

#pragma once

#include <string>

// The proxy to send requests through; an empty ProxyServer means none.
struct TIdProxyConnectionInfo {
    std::string ProxyServer;
    int ProxyPort = 0;
    std::string ProxyUsername;
    std::string ProxyPassword;
    bool BasicAuthentication = false;
};

#pragma once

#include "http/TProxyRules.h"

#include <cstdint>
#include <optional>
#include <string>

class TJvProxyingUrlGrabber;

// How this run of the program reaches the network: through the proxies the
// environment names (http_proxy, https_proxy, all_proxy, no_proxy, as curl
// reads them) unless the command line chose one or none, and without a cap
// on the receive rate unless it set one. Chosen once at the start, before
// any thread reads it; the windows keep the defaults.
struct TNetworkChoice {
    // The --proxy address; empty: no proxy at all; none: the environment's.
    std::optional<std::string> Proxy;
    // The most bytes a second a download receives; 0: no cap.
    std::int64_t ReceiveRateLimit = 0;
};

const TNetworkChoice& NetworkChoice();
void SetNetworkChoice(TNetworkChoice choice);

// The proxies of the page requests of a lookup.
TProxyRules PageProxyRules();

// Gives a download component the same proxies (libcurl reads the
// environment itself; a chosen proxy goes with the environment's no_proxy)
// and the cap.
void ApplyNetworkChoice(TJvProxyingUrlGrabber& grabber);

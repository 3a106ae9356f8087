#pragma once

#include "tls/TransferPolicy.h"

#include <cstdint>

class TIdCustomHTTP;

// How long and how much each page request of a resolution may take: a read
// may wait as long as the request's deadline allows.
struct TPageBounds {
    // Milliseconds without a byte, to connect, and in all (redirects too).
    int ReadTimeout = static_cast<int>(TransferPolicy::kPageRequestTimeout.count());
    int ConnectTimeout = static_cast<int>(TransferPolicy::kPageConnectTimeout.count());
    int RequestTimeout = static_cast<int>(TransferPolicy::kPageRequestTimeout.count());
    std::int64_t MaxBodySize = TransferPolicy::kPageBodyLimit; // bytes of one page
};

// Every page request of a resolution, on the site or on any other page, is
// made the same way: redirects followed, cookies kept between the requests
// of one resolution, the program's user agent, the bounds, and the proxies
// of the run (NetworkChoice.h).
void PreparePageClient(TIdCustomHTTP& http, const TPageBounds& bounds);

#pragma once

#include <cstdint>

class TIdCustomHTTP;

// How long and how much each page request of a resolution may take.
struct TPageBounds {
    int ReadTimeout = 6000;                           // milliseconds without a byte
    int ConnectTimeout = 15000;                       // milliseconds
    int RequestTimeout = 30000;                       // milliseconds, redirects and all
    std::int64_t MaxBodySize = std::int64_t(8) << 20; // bytes of one page
};

// Every page request of a resolution, on the site or on any other page, is
// made the same way: redirects followed, cookies kept between the requests
// of one resolution, the program's user agent, and the bounds.
void PreparePageClient(TIdCustomHTTP& http, const TPageBounds& bounds);

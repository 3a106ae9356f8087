#pragma once

class TIdCustomHTTP;

// Every page request of a resolution, on the site or on any other page, is
// made the same way: redirects followed, cookies kept between the requests
// of one resolution, the program's user agent, the read time-out.
void PreparePageClient(TIdCustomHTTP& http);

#pragma once

#include <string>

// Where the video site lives. The built-in host can be replaced with
// --site-host=HOST[:PORT] to point the program at a stand-in of the site;
// the site domain then follows that host.
namespace Site {

// The browser the program introduces itself as, to the pages and the streams.
inline const char* const UserAgent = "Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.9.0.6)";

// "youtube.com": what an address must contain to be taken for a video's.
const std::string& Domain();
// "www.youtube.com", or the host given on the command line.
const std::string& Host();
// The maker's web host, which serves the help page.
const std::string& MakerHost();

void SetHost(const std::string& hostAndPort);

// Applies --site-host=HOST (or --site-host HOST) when present among the
// arguments; returns false (and leaves the site alone) for a missing or
// malformed value.
bool ApplyCommandLine(int argc, char** argv);

// The domain for a host: the host without its port and a leading "www.".
std::string DomainOf(const std::string& hostAndPort);

} // namespace Site

// Set-Cookie values, hosts and dates from the fuzzer: storing, building the
// Cookie header and the date round trip must hold whatever the text.
#include "http/HttpDate.h"
#include "http/TIdCookieManager.h"
#include "http/TIdURI.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(std::string_view text)
{
    std::vector<std::string> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        lines.emplace_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

void CheckDate(const std::string& text)
{
    auto when = ParseHttpDate(text);
    if (!when)
        return;
    auto again = ParseHttpDate(FormatHttpDate(*when));
    if (again && *again != *when)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> lines = Lines(std::string_view(reinterpret_cast<const char*>(data), size));
    if (lines.empty())
        return 0;
    const std::string host = lines[0];
    TIdCookieManager manager;
    for (std::size_t i = 1; i < lines.size() && i < 64; ++i) {
        const std::string& line = lines[i];
        CheckDate(line);
        if (!line.empty() && line[0] == '2')
            manager.StoreSetCookie2(line.substr(1), host);
        else
            manager.StoreSetCookie(line, host);
    }
    for (TIdCookieRFC2109* cookie : manager.CookieCollection().CookiesOfDomain(host)) {
        TIdCookieRFC2109 copy;
        copy.ParseCookieText(cookie->ServerForm());
        (void)cookie->ClientForm();
    }
    std::string header = manager.BuildCookieHeader(TIdURI("http://" + host + "/a/b?c"), false);
    header += manager.BuildCookieHeader(host, "/", true);
    manager.DropExpired();
    return 0;
}

#include "app/Site.h"

#include <cstring>

namespace Site {
namespace {

std::string host = "www.youtube.com";
std::string domain = "youtube.com";

} // namespace

const std::string& Domain()
{
    return domain;
}
const std::string& Host()
{
    return host;
}

const std::string& MakerHost()
{
    static const std::string maker = "skerrow.example.org";
    return maker;
}

std::string DomainOf(const std::string& hostAndPort)
{
    std::string name = hostAndPort.substr(0, hostAndPort.find(':'));
    if (name.rfind("www.", 0) == 0)
        name.erase(0, 4);
    return name;
}

void SetHost(const std::string& hostAndPort)
{
    host = hostAndPort;
    domain = DomainOf(hostAndPort);
}

bool ApplyCommandLine(int argc, char** argv)
{
    const char* option = "--site-host=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], option, std::strlen(option)) != 0)
            continue;
        std::string value = argv[i] + std::strlen(option);
        if (value.empty() || value.find_first_of("/ \t\r\n") != std::string::npos)
            return false;
        SetHost(value);
    }
    return true;
}

} // namespace Site

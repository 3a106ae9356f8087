#include "app/Site.h"

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

// "--site-host=HOST" or "--site-host HOST", as every option is written.
bool ApplyCommandLine(int argc, char** argv)
{
    const std::string option = "--site-host";
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        std::string value;
        if (argument.starts_with(option + "="))
            value = argument.substr(option.size() + 1);
        else if (argument == option && i + 1 < argc)
            value = argv[++i];
        else if (argument != option)
            continue;
        if (value.empty() || value.find_first_of("/ \t\r\n") != std::string::npos)
            return false;
        SetHost(value);
    }
    return true;
}

} // namespace Site

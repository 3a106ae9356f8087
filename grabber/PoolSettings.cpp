#include "grabber/PoolSettings.h"

#include "grabber/internet/InternetApi.h"

TInternetSettings PoolSettingsOf(const TJvGrabberSettings& settings)
{
    std::uint32_t access = INTERNET_OPEN_TYPE_PRECONFIG;
    if (settings.ProxyMode == pmNoProxy)
        access = INTERNET_OPEN_TYPE_DIRECT;
    else if (settings.ProxyMode == pmManual)
        access = INTERNET_OPEN_TYPE_PROXY;
    TInternetSettings internet =
        InternetSessionSettings(settings.Agent, access, settings.ProxyAddresses, settings.ProxyIgnoreList);
    internet.proxyUserName = settings.ProxyUserName;
    internet.proxyPassword = settings.ProxyPassword;
    return internet;
}

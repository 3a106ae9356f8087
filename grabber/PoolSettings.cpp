#include "grabber/PoolSettings.h"

#include "grabber/internet/InternetApi.h"

#include <algorithm>

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
    // The run's cap holds for its connections together.
    internet.receiveRateLimit = settings.ReceiveRateLimit / std::max(settings.Connections, 1);
    return internet;
}

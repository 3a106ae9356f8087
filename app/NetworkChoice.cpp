#include "app/NetworkChoice.h"

#include "grabber/TJvProxyingUrlGrabber.h"

namespace {

TNetworkChoice& Choice()
{
    static TNetworkChoice choice;
    return choice;
}

} // namespace

const TNetworkChoice& NetworkChoice()
{
    return Choice();
}

void SetNetworkChoice(TNetworkChoice choice)
{
    Choice() = std::move(choice);
}

TProxyRules PageProxyRules()
{
    const TNetworkChoice& choice = NetworkChoice();
    return choice.Proxy ? TProxyRules::Only(*choice.Proxy) : TProxyRules::FromEnvironment();
}

void ApplyNetworkChoice(TJvProxyingUrlGrabber& grabber)
{
    const TNetworkChoice& choice = NetworkChoice();
    grabber.SetReceiveRateLimit(choice.ReceiveRateLimit);
    if (!choice.Proxy) {
        grabber.SetProxyMode(pmSysConfig);
    } else if (choice.Proxy->empty()) {
        grabber.SetProxyMode(pmNoProxy);
    } else {
        // Named for the scheme, so that an "=" in the address's password is
        // not taken for the list's own.
        grabber.SetProxyMode(pmManual);
        grabber.SetProxyAddresses("http=" + *choice.Proxy);
        grabber.SetProxyIgnoreList(TProxyRules::Only(*choice.Proxy).NoProxy);
    }
}

#include "grabber/TJvProxyingUrlGrabber.h"

std::vector<TPublishedText> TJvProxyingUrlGrabber::PublishedTexts()
{
    std::vector<TPublishedText> texts = TJvCustomUrlGrabber::PublishedTexts();
    texts.push_back(TextProperty("ProxyAddresses", &proxyAddresses_));
    texts.push_back(TextProperty("ProxyIgnoreList", &proxyIgnoreList_));
    texts.push_back(TextProperty("ProxyUserName", &proxyUserName_));
    texts.push_back(TextProperty("ProxyPassword", &proxyPassword_));
    return texts;
}

void TJvProxyingUrlGrabber::FillSettings(TJvGrabberSettings& settings) const
{
    TJvCustomUrlGrabber::FillSettings(settings);
    settings.ProxyMode = proxyMode_;
    settings.ProxyAddresses = proxyAddresses_;
    settings.ProxyIgnoreList = proxyIgnoreList_;
    settings.ProxyUserName = proxyUserName_;
    settings.ProxyPassword = proxyPassword_;
}

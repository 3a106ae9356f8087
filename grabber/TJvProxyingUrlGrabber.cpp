#include "grabber/TJvProxyingUrlGrabber.h"

std::vector<TPublishedText> TJvProxyingUrlGrabber::PublishedTexts()
{
    std::vector<TPublishedText> texts = TJvCustomUrlGrabber::PublishedTexts();
    texts.push_back(TextProperty("ProxyAddresses", &settings_.ProxyAddresses));
    texts.push_back(TextProperty("ProxyIgnoreList", &settings_.ProxyIgnoreList));
    texts.push_back(TextProperty("ProxyUserName", &settings_.ProxyUserName));
    texts.push_back(TextProperty("ProxyPassword", &settings_.ProxyPassword));
    return texts;
}

#include "grabber/TJvHttpUrlGrabber.h"

#include "grabber/TJvCustomUrlGrabberDefaultProperties.h"
#include "grabber/TJvHttpUrlGrabberThread.h"
#include "grabber/TJvHttpsUrlGrabber.h"

const TJvUrlGrabberClass& TJvHttpUrlGrabber::ClassType()
{
    static const TJvUrlGrabberClass type{
        "TJvHttpUrlGrabber",
        &GetProtocolMarker,
        &GetProtocolName,
        &CanGrab,
        &CreateGrabberThread<TJvHttpUrlGrabberThread>,
        &CreateDefaultProperties<TJvHttpUrlGrabberDefaultProperties>,
        [](TComponent* owner) -> TJvCustomUrlGrabber* { return new TJvHttpUrlGrabber(owner); }};
    return type;
}

bool TJvHttpUrlGrabber::CanGrab(const std::string& url)
{
    return HasMarker(url, GetProtocolMarker());
}

std::string TJvHttpUrlGrabber::StatusCode() const
{
    std::lock_guard lock(statusCodeMutex_);
    return statusCode_;
}

void TJvHttpUrlGrabber::SetStatusCode(const std::string& code)
{
    std::lock_guard lock(statusCodeMutex_);
    statusCode_ = code;
}

void TJvHttpUrlGrabber::DoStatus()
{
    TJvCustomUrlGrabber::DoStatus();
    if (Worker())
        RaiseStageEvent(Worker()->LastStatus);
}

std::vector<TPublishedText> TJvHttpUrlGrabber::PublishedTexts()
{
    std::vector<TPublishedText> texts = TJvProxyingUrlGrabber::PublishedTexts();
    texts.insert(texts.begin(), TextProperty("Referer", &settings_.Referer));
    return texts;
}

const TJvUrlGrabberClass& TJvHttpsUrlGrabber::ClassType()
{
    static const TJvUrlGrabberClass type{
        "TJvHttpsUrlGrabber",
        &GetProtocolMarker,
        &GetProtocolName,
        &CanGrab,
        &CreateGrabberThread<TJvHttpUrlGrabberThread>,
        &CreateDefaultProperties<TJvHttpsUrlGrabberDefaultProperties>,
        [](TComponent* owner) -> TJvCustomUrlGrabber* { return new TJvHttpsUrlGrabber(owner); }};
    return type;
}

bool TJvHttpsUrlGrabber::CanGrab(const std::string& url)
{
    return HasMarker(url, GetProtocolMarker());
}

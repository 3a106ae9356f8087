#include "grabber/TJvFtpUrlGrabber.h"

#include "grabber/TJvCustomUrlGrabberDefaultProperties.h"
#include "grabber/TJvFtpUrlGrabberThread.h"

TJvFtpUrlGrabber::TJvFtpUrlGrabber(TComponent* owner) : TJvProxyingUrlGrabber(owner)
{
    SetPort(kJvFtpPort);
}

const TJvUrlGrabberClass& TJvFtpUrlGrabber::ClassType()
{
    static const TJvUrlGrabberClass type{
        "TJvFtpUrlGrabber",
        &GetProtocolMarker,
        &GetProtocolName,
        &CanGrab,
        &CreateGrabberThread<TJvFtpUrlGrabberThread>,
        &CreateDefaultProperties<TJvFtpUrlGrabberDefaultProperties>,
        [](TComponent* owner) -> TJvCustomUrlGrabber* { return new TJvFtpUrlGrabber(owner); }};
    return type;
}

void TJvFtpUrlGrabber::DoStatus()
{
    TJvCustomUrlGrabber::DoStatus();
    if (Worker())
        RaiseStageEvent(Worker()->LastStatus);
}

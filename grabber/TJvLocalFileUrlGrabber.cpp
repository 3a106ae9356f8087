#include "grabber/TJvLocalFileUrlGrabber.h"

#include "grabber/EGrabberNotStopped.h"
#include "grabber/TJvCustomUrlGrabberDefaultProperties.h"
#include "grabber/TJvLocalFileUrlGrabberThread.h"

#include <filesystem>
#include <system_error>

const TJvUrlGrabberClass& TJvLocalFileUrlGrabber::ClassType()
{
    static const TJvUrlGrabberClass type{
        "TJvLocalFileUrlGrabber",
        &GetProtocolMarker,
        &GetProtocolName,
        &CanGrab,
        &CreateGrabberThread<TJvLocalFileUrlGrabberThread>,
        &CreateDefaultProperties<TJvLocalFileUrlGrabberProperties>,
        [](TComponent* owner) -> TJvCustomUrlGrabber* { return new TJvLocalFileUrlGrabber(owner); }};
    return type;
}

bool TJvLocalFileUrlGrabber::CanGrab(const std::string& url)
{
    if (HasMarker(url, GetProtocolMarker()) || url.rfind("//", 0) == 0 ||
        (url.size() >= 3 && url.compare(1, 2, ":\\") == 0))
        return true;
    std::error_code error;
    return !url.empty() && std::filesystem::exists(url, error);
}

void TJvLocalFileUrlGrabber::SetUrl(const std::string& value)
{
    if (Status() != gsStopped)
        throw EGrabberNotStopped();
    std::string marker = GetProtocolMarker();
    StoreUrl(marker + (HasMarker(value, marker) ? value.substr(marker.size()) : value));
}

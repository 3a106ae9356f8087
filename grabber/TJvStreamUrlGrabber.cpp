#include "grabber/TJvStreamUrlGrabber.h"

#include "grabber/TGrabberPartFile.h"
#include "grabber/TJvCustomUrlGrabberDefaultProperties.h"
#include "grabber/TJvStreamUrlGrabberThread.h"

#include <filesystem>

const TJvUrlGrabberClass& TJvStreamUrlGrabber::ClassType()
{
    static const TJvUrlGrabberClass type{
        "TJvStreamUrlGrabber",
        &GetProtocolMarker,
        &GetProtocolName,
        &CanGrab,
        &CreateGrabberThread<TJvStreamUrlGrabberThread>,
        &CreateDefaultProperties<TJvHttpUrlGrabberDefaultProperties>,
        [](TComponent* owner) -> TJvCustomUrlGrabber* { return new TJvStreamUrlGrabber(owner); }};
    return type;
}

// The joined file, not the pieces, becomes the target.
std::int64_t TJvStreamUrlGrabber::CommitContent(TGrabberPartFile& part)
{
    std::error_code unknown;
    const auto size = std::filesystem::file_size(TGrabberPartFile::MadeName(FileName()), unknown);
    part.CommitMade(FileName());
    return unknown ? 0 : static_cast<std::int64_t>(size);
}

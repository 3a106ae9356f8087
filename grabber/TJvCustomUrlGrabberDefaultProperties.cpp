#include "grabber/TJvCustomUrlGrabberDefaultProperties.h"

void TJvCustomUrlGrabberDefaultProperties::Assign(const TJvCustomUrlGrabberDefaultProperties& source)
{
    static_cast<TJvCommonProperties&>(*this) = source;
}

void TJvFtpUrlGrabberDefaultProperties::Assign(const TJvCustomUrlGrabberDefaultProperties& source)
{
    TJvCustomUrlGrabberDefaultProperties::Assign(source);
    if (auto* ftp = dynamic_cast<const TJvFtpUrlGrabberDefaultProperties*>(&source))
        static_cast<TJvFtpProperties&>(*this) = *ftp;
}

void TJvLocalFileUrlGrabberProperties::Assign(const TJvCustomUrlGrabberDefaultProperties& source)
{
    TJvCustomUrlGrabberDefaultProperties::Assign(source);
    if (auto* local = dynamic_cast<const TJvLocalFileUrlGrabberProperties*>(&source))
        PreserveAttributes = local->PreserveAttributes;
}

#include "grabber/TJvCustomUrlGrabberDefaultProperties.h"

void TJvCustomUrlGrabberDefaultProperties::Assign(const TJvCustomUrlGrabberDefaultProperties& source)
{
    Agent = source.Agent;
    Port = source.Port;
    Password = source.Password;
    UserName = source.UserName;
    FileName = source.FileName;
    OutputMode = source.OutputMode;
}

void TJvFtpUrlGrabberDefaultProperties::Assign(const TJvCustomUrlGrabberDefaultProperties& source)
{
    TJvCustomUrlGrabberDefaultProperties::Assign(source);
    if (auto* ftp = dynamic_cast<const TJvFtpUrlGrabberDefaultProperties*>(&source)) {
        Mode = ftp->Mode;
        Passive = ftp->Passive;
    }
}

void TJvLocalFileUrlGrabberProperties::Assign(const TJvCustomUrlGrabberDefaultProperties& source)
{
    TJvCustomUrlGrabberDefaultProperties::Assign(source);
    if (auto* local = dynamic_cast<const TJvLocalFileUrlGrabberProperties*>(&source))
        PreserveAttributes = local->PreserveAttributes;
}

#include "grabber/TJvGrabberTypes.h"

std::optional<TWebAddress> TJvGrabberSettings::ServerAddress() const
{
    if (!Address)
        return std::nullopt;
    return Address->WithUser(UserName, Password).WithPort(Port);
}

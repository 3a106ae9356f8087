#include "http/TIdTCPClientCustom.h"

#include "http/EIdException.h"
#include "http/TIdIOHandlerStack.h"

TIdTCPClientCustom::TIdTCPClientCustom(TComponent* owner) : TIdTCPConnection(owner) {}

void TIdTCPClientCustom::ConnectToPeer()
{
    if (IsConnected())
        throw EIdAlreadyConnected();
    if (host_.empty())
        throw EIdHostRequired();
    if (port_ == 0)
        throw EIdPortRequired();
    if (!IOHandler())
        AdoptIOHandler(new TIdIOHandlerStack());

    try {
        OpenHandler();
    } catch (...) {
        if (IOHandler())
            IOHandler()->Close();
        DropManagedIOHandler();
        throw;
    }
}

void TIdTCPClientCustom::OpenHandler()
{
    CopyParameters();
    IOHandler()->Open();
    DoStatus(hsConnected);
    RaiseEvent(OnConnected, this);
}

void TIdTCPClientCustom::CopyParameters()
{
    TIdIOHandler* handler = IOHandler();
    if (!handler)
        return;
    handler->SetHost(host_);
    handler->SetPort(port_);
    handler->SetConnectTimeout(connectTimeout_);
    handler->SetReadTimeout(readTimeout_);
    handler->SetDeadline(deadline_);
    if (auto* socketHandler = dynamic_cast<TIdIOHandlerSocket*>(handler)) {
        socketHandler->SetBoundIP(boundIP_);
        socketHandler->SetBoundPort(boundPort_);
        socketHandler->SetBoundPortRange(boundPortMin_, boundPortMax_);
        socketHandler->SetIPVersion(ipVersion_);
    }
}

void TIdTCPClientCustom::SetHost(std::string host)
{
    host_ = std::move(host);
    CopyParameters();
}

void TIdTCPClientCustom::SetPort(int port)
{
    port_ = port;
    CopyParameters();
}

void TIdTCPClientCustom::SetConnectTimeout(int milliseconds)
{
    connectTimeout_ = milliseconds;
    CopyParameters();
}

void TIdTCPClientCustom::SetReadTimeout(int milliseconds)
{
    readTimeout_ = milliseconds;
    CopyParameters();
}

void TIdTCPClientCustom::SetBoundIP(std::string ip)
{
    boundIP_ = std::move(ip);
    CopyParameters();
}

void TIdTCPClientCustom::SetBoundPort(int port)
{
    boundPort_ = port;
    CopyParameters();
}

void TIdTCPClientCustom::SetBoundPortRange(int low, int high)
{
    boundPortMin_ = low;
    boundPortMax_ = high;
    CopyParameters();
}

void TIdTCPClientCustom::SetIPVersion(TIdIPVersion ipVersion)
{
    ipVersion_ = ipVersion;
    CopyParameters();
}

void TIdTCPClientCustom::SetDeadline(TIdIOHandler::TDeadline deadline)
{
    deadline_ = deadline;
    CopyParameters();
}

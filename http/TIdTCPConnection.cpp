#include "http/TIdTCPConnection.h"

#include "http/EIdException.h"

TIdTCPConnection::TIdTCPConnection(TComponent* owner) : TIdComponent(owner) {}

TIdTCPConnection::~TIdTCPConnection()
{
    DropManagedIOHandler();
}

void TIdTCPConnection::SetIOHandler(TIdIOHandler* handler)
{
    if (handler == ioHandler_)
        return;
    DropManagedIOHandler();
    ioHandler_ = handler;
    if (handler)
        ForwardEvents(*handler);
}

void TIdTCPConnection::AdoptIOHandler(TIdIOHandler* handler)
{
    SetIOHandler(handler);
    managedIOHandler_ = true;
}

void TIdTCPConnection::DropManagedIOHandler()
{
    if (!managedIOHandler_)
        return;
    delete ioHandler_;
    ioHandler_ = nullptr;
    managedIOHandler_ = false;
}

// The handler's status and work reach the connection's handlers, with the
// connection as the sender.
void TIdTCPConnection::ForwardEvents(TIdIOHandler& handler)
{
    handler.OnStatus = [this](TObject*, TIdStatus status, const std::string& text) {
        if (OnStatus)
            OnStatus(this, status, text);
    };
    handler.OnWorkBegin = [this](TObject*, TWorkMode mode, std::int64_t size) { BeginWork(mode, size); };
    handler.OnWork = [this](TObject*, TWorkMode mode, std::int64_t position) {
        // The handler reports its running total; the connection counts its own.
        RaiseEvent(OnWork, this, mode, position);
    };
    handler.OnWorkEnd = [this](TObject*, TWorkMode mode) { EndWork(mode); };
}

void TIdTCPConnection::CloseConnection(bool /*notifyPeer*/)
{
    if (!ioHandler_ || !ioHandler_->Opened())
        return;
    DoStatus(hsDisconnecting);
    ioHandler_->Close();
    RaiseEvent(OnDisconnected, this);
    DoStatus(hsDisconnected);
}

bool TIdTCPConnection::IsConnected()
{
    return ioHandler_ && ioHandler_->IsConnected();
}

void TIdTCPConnection::CheckPeerClosed(bool raiseIfDisconnected)
{
    if (ioHandler_)
        ioHandler_->DetectPeerClose(raiseIfDisconnected, false);
    else if (raiseIfDisconnected)
        throw EIdException("Not Connected");
}

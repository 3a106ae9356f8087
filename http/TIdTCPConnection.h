#pragma once

#include "http/TIdComponent.h"
#include "http/TIdIOHandler.h"
#include "runtime/Events.h"

// A connection that reads and writes through its I/O handler. A handler the
// connection made itself is managed: the connection owns and frees it.
class TIdTCPConnection : public TIdComponent {
public:
    explicit TIdTCPConnection(TComponent* owner = nullptr);
    ~TIdTCPConnection() override;

    std::string ClassName() const override { return "TIdTCPConnection"; }

    TIdIOHandler* IOHandler() const { return ioHandler_; }
    // A handler given here stays its creator's; a managed one in use is freed.
    void SetIOHandler(TIdIOHandler* handler);
    bool ManagedIOHandler() const { return managedIOHandler_; }

    // notifyPeer asks the peer to end its side too, which TCP has no way to say.
    void CloseConnection(bool notifyPeer = true);
    bool IsConnected();
    void CheckPeerClosed(bool raiseIfDisconnected = true);

    TNotifyEvent OnDisconnected;

protected:
    // Hands the handler to the connection as its own.
    void AdoptIOHandler(TIdIOHandler* handler);
    // Drops a managed handler after a failed connect.
    void DropManagedIOHandler();

private:
    void ForwardEvents(TIdIOHandler& handler);

    TIdIOHandler* ioHandler_ = nullptr;
    bool managedIOHandler_ = false;
};

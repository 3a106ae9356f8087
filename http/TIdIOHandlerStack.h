#pragma once

#include "http/TIdIOHandlerSocket.h"

// The I/O handler that reads from and writes to its socket through the
// socket stack. Opening it with a host and a port connects.
class TIdIOHandlerStack : public TIdIOHandlerSocket {
public:
    using TIdIOHandlerSocket::TIdIOHandlerSocket;

    std::string ClassName() const override { return "TIdIOHandlerStack"; }

    void Open() override;
    // Also true while bytes that arrived before the peer closed wait to be read.
    bool IsConnected() override;
    int ReceiveStep(bool raiseIfDisconnected = true, int timeout = -1, bool raiseOnTimeout = true) override;
    void DetectPeerClose(bool raiseIfDisconnected = true, bool ignoreBuffer = false) override;

protected:
    void SendNow(std::string_view bytes) override;
    // Receives into the input buffer, waiting at most wait milliseconds (-1:
    // without limit) for the first byte: the count, 0 when the peer closed,
    // -1 when nothing came in time.
    virtual int ReceiveWithin(int wait);
    // One send of what the socket takes of bytes; the count sent.
    int SendSome(std::string_view bytes);

private:
    void ConnectClient();
    std::string ResolvePeer();
    void ConnectWithTimeout();
    int ReceiveOnce(bool wait);
};

#pragma once

#include "http/TIdIOHandlerStack.h"
#include "tls/TlsClientContext.h"

#include <string_view>
#include <vector>

typedef struct ssl_st SSL;
typedef struct bio_st BIO;

// The socket handler that can speak TLS. With PassThrough (the default) it
// is the plain handler, byte for byte. Without it, every connection it opens
// begins with a handshake that verifies the server's certificate and name
// before anything else is sent, and every byte read or written passes
// through the session; reads wait under the read timeout as on a plain
// socket.
class TIdIOHandlerTls : public TIdIOHandlerStack {
public:
    explicit TIdIOHandlerTls(TComponent* owner = nullptr);
    ~TIdIOHandlerTls() override;

    std::string ClassName() const override { return "TIdIOHandlerTls"; }

    // Takes effect at the next Open.
    bool PassThrough() const { return passThrough_; }
    void SetPassThrough(bool passThrough) { passThrough_ = passThrough; }
    // Whether the connection opened last runs over TLS.
    bool Secure() const { return session_ != nullptr; }

    void Open() override;
    // Begins TLS on the connection opened in pass-through, with serverName
    // as the server whose certificate and name are verified: the server at
    // the far end of a proxy's tunnel.
    void BeginTls(const std::string& serverName);
    void Close() override;
    bool IsConnected() override;
    // A peer that closed without a close notification raises EIdTlsTruncated
    // where a plain peer's close raises EIdConnClosedGracefully.
    void DetectPeerClose(bool raiseIfDisconnected = true, bool ignoreBuffer = false) override;

protected:
    void SendNow(std::string_view bytes) override;
    int ReceiveWithin(int wait) override;

private:
    void StartSession();
    // The server TLS speaks with: the host connected to, or the far end of
    // a tunnel.
    const std::string& ServerName() const { return serverName_.empty() ? Host() : serverName_; }
    void NameTheServer();
    void Handshake();
    [[noreturn]] void RaiseHandshakeFailure();
    void EndSession();
    // Plain bytes the session holds, into the input buffer: the count, 0
    // after the peer's close notification, -1 when it needs more records.
    int Decrypt();
    // Records the socket holds, into the session, without waiting: the
    // count, 0 when the peer has closed, -1 when none are there.
    int ReceiveRecords();
    // Sends every record the session has written.
    void SendRecords();

    TTlsClientContext context_;
    SSL* session_ = nullptr;
    BIO* incoming_ = nullptr; // both owned by the session
    BIO* outgoing_ = nullptr;
    std::vector<char> records_;
    bool passThrough_ = true;
    std::string serverName_;
    // The peer closed the connection without a close notification.
    bool cutShort_ = false;
};

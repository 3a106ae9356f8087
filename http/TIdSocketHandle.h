#pragma once

#include "http/TIdIPVersion.h"
#include "http/TIdSocketList.h"

#include <atomic>
#include <mutex>
#include <string>

// One socket and the addresses at both of its ends.
class TIdSocketHandle {
public:
    TIdSocketHandle();
    ~TIdSocketHandle();
    TIdSocketHandle(const TIdSocketHandle&) = delete;
    TIdSocketHandle& operator=(const TIdSocketHandle&) = delete;

    int Handle() const { return handle_.load(); }
    bool HandleAllocated() const { return handle_.load() >= 0; }

    void AllocateSocket(TIdIPVersion ipVersion);
    // Binds to IP and Port (any when empty or 0); with Port 0 and a client
    // port range, to the first free port of the range.
    void Bind();
    // Connects to PeerIP and PeerPort; false when stop was set first.
    bool Connect(const std::atomic<bool>* stop = nullptr);
    // Shuts the sending side down, then closes the socket.
    void CloseSocket();
    // Forgets the addresses of both ends.
    void Reset();
    void UpdateBindingLocal();
    void UpdateBindingPeer();

    // Raises EIdConnClosedGracefully when the socket has gone.
    bool Readable(int timeoutMs);
    // Without waiting, -1 when nothing has arrived.
    int Receive(char* buffer, int size, bool wait = true);
    int Send(const char* buffer, int size);
    void SetNoDelay(bool noDelay);

    const std::string& IP() const { return ip_; }
    void SetIP(std::string ip) { ip_ = std::move(ip); }
    int Port() const { return port_; }
    void SetPort(int port) { port_ = port; }
    const std::string& PeerIP() const { return peerIP_; }
    int PeerPort() const { return peerPort_; }
    void SetPeer(std::string ip, int port);
    TIdIPVersion IPVersion() const { return ipVersion_; }
    void SetIPVersion(TIdIPVersion ipVersion) { ipVersion_ = ipVersion; }
    int ClientPortMin() const { return clientPortMin_; }
    int ClientPortMax() const { return clientPortMax_; }
    void SetClientPortRange(int low, int high);

private:
    int CheckedHandle() const;

    std::atomic<int> handle_{-1};
    std::string ip_;
    int port_ = 0;
    std::string peerIP_;
    int peerPort_ = 0;
    TIdIPVersion ipVersion_ = Id_IPv4;
    int clientPortMin_ = 0;
    int clientPortMax_ = 0;
    // Held while the handle is closed or read back, so that a connect
    // thread and a closing caller do not race on it.
    std::mutex lock_;
    TIdSocketList readList_;
};

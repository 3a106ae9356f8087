#pragma once

#include "http/TIdIPVersion.h"

#include <atomic>
#include <string>

// The process-wide socket stack over the operating system's sockets: one
// instance, created with the first component that needs it and freed with
// the last. Every failing call raises EIdSocketError with the error mapped
// onto the socket error codes.
class TIdStack {
public:
    // Counts one more user and returns the stack, creating it first.
    static TIdStack& IncUsage();
    // Counts one user less; the last one frees the stack.
    static void DecUsage();
    static int UsageCount();
    // The stack of a component that holds a usage.
    static TIdStack& Instance();

    const std::string& HostName() const { return hostName_; }

    int NewSocketHandle(TIdIPVersion ipVersion);
    // False when the address or port cannot be bound.
    bool TryBind(int handle, const std::string& ip, int port, TIdIPVersion ipVersion);
    // Connects, waiting without limit unless stop is set (it is looked at
    // every 125 ms); false when stopped before the connect finished.
    bool Connect(int handle, const std::string& ip, int port, TIdIPVersion ipVersion,
                 const std::atomic<bool>* stop = nullptr);
    void SetNoDelay(int handle, bool noDelay);
    void GetSocketName(int handle, std::string& ip, int& port);
    void GetPeerName(int handle, std::string& ip, int& port);
    // 0 when the peer has closed. Without waiting, -1 when nothing is there.
    int Receive(int handle, char* buffer, int size, bool wait = true);
    // Never raises SIGPIPE; the bytes the socket accepted.
    int Send(int handle, const char* buffer, int size);
    void ShutdownSending(int handle);
    void Close(int handle);

    // The text of an address of the family, resolving a host name.
    std::string ResolveHost(const std::string& host, TIdIPVersion ipVersion);
    static bool IsIP(const std::string& host, TIdIPVersion ipVersion);

    // errno and resolver errors as socket error codes.
    static int TranslateErrno(int error);
    static int TranslateResolverError(int error, int systemError);

private:
    TIdStack();

    std::string hostName_;
};

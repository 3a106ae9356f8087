#include "http/TIdStack.h"

#include "http/EIdException.h"
#include "http/EIdSocketError.h"
#include "runtime/AsciiText.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

std::mutex gStackLock;
TIdStack* gStack = nullptr;
int gUsageCount = 0;

[[noreturn]] void RaiseLastError()
{
    RaiseSocketError(TIdStack::TranslateErrno(errno));
}

union SocketAddress {
    sockaddr generic;
    sockaddr_in v4;
    sockaddr_in6 v6;
};

socklen_t MakeAddress(SocketAddress& address, const std::string& ip, int port, TIdIPVersion ipVersion)
{
    std::memset(&address, 0, sizeof address);
    if (ipVersion == Id_IPv6) {
        address.v6.sin6_family = AF_INET6;
        address.v6.sin6_port = htons(static_cast<std::uint16_t>(port));
        address.v6.sin6_addr = in6addr_any;
        if (!ip.empty() && inet_pton(AF_INET6, ip.c_str(), &address.v6.sin6_addr) != 1)
            RaiseSocketError(IdSocketErrors::AddressNotAvailable);
        return sizeof address.v6;
    }
    address.v4.sin_family = AF_INET;
    address.v4.sin_port = htons(static_cast<std::uint16_t>(port));
    address.v4.sin_addr.s_addr = htonl(INADDR_ANY);
    if (!ip.empty() && inet_pton(AF_INET, ip.c_str(), &address.v4.sin_addr) != 1)
        RaiseSocketError(IdSocketErrors::AddressNotAvailable);
    return sizeof address.v4;
}

void ReadAddress(const SocketAddress& address, std::string& ip, int& port)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (address.generic.sa_family == AF_INET6) {
        inet_ntop(AF_INET6, &address.v6.sin6_addr, text, sizeof text);
        port = ntohs(address.v6.sin6_port);
    } else {
        inet_ntop(AF_INET, &address.v4.sin_addr, text, sizeof text);
        port = ntohs(address.v4.sin_port);
    }
    ip = text;
}

int Family(TIdIPVersion ipVersion)
{
    return ipVersion == Id_IPv6 ? AF_INET6 : AF_INET;
}

bool IsDottedQuad(const std::string& host)
{
    int parts = 0;
    std::size_t i = 0;
    while (i <= host.size()) {
        std::size_t end = host.find('.', i);
        if (end == std::string::npos)
            end = host.size();
        std::optional<std::uint64_t> part = AsciiText::ParseUnsigned(std::string_view(host).substr(i, end - i));
        if (end - i > 3 || !part || *part > 255)
            return false;
        ++parts;
        i = end + 1;
    }
    return parts == 4;
}

bool IsLocalhost(const std::string& host)
{
    return strcasecmp(host.c_str(), "LOCALHOST") == 0;
}

} // namespace

TIdStack::TIdStack()
{
    // Up to 250 characters, as the stack has always kept it.
    char name[251] = {};
    if (gethostname(name, sizeof name - 1) == 0)
        hostName_ = name;
}

TIdStack& TIdStack::IncUsage()
{
    std::lock_guard<std::mutex> lock(gStackLock);
    if (!gStack)
        gStack = new TIdStack();
    ++gUsageCount;
    return *gStack;
}

void TIdStack::DecUsage()
{
    std::lock_guard<std::mutex> lock(gStackLock);
    if (gUsageCount == 0)
        return;
    if (--gUsageCount == 0) {
        delete gStack;
        gStack = nullptr;
    }
}

int TIdStack::UsageCount()
{
    std::lock_guard<std::mutex> lock(gStackLock);
    return gUsageCount;
}

TIdStack& TIdStack::Instance()
{
    std::lock_guard<std::mutex> lock(gStackLock);
    if (!gStack)
        throw EIdException("The socket stack is not in use");
    return *gStack;
}

int TIdStack::NewSocketHandle(TIdIPVersion ipVersion)
{
    int handle = socket(Family(ipVersion), SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (handle < 0)
        RaiseLastError();
    return handle;
}

bool TIdStack::TryBind(int handle, const std::string& ip, int port, TIdIPVersion ipVersion)
{
    SocketAddress address;
    socklen_t length = MakeAddress(address, ip, port, ipVersion);
    return bind(handle, &address.generic, length) == 0;
}

namespace {

void SetBlocking(int handle, bool blocking)
{
    int flags = fcntl(handle, F_GETFL);
    if (flags < 0 || fcntl(handle, F_SETFL, blocking ? flags & ~O_NONBLOCK : flags | O_NONBLOCK) < 0)
        RaiseLastError();
}

// Waits for a started connect to finish; false when stop was set first.
bool AwaitConnect(int handle, const std::atomic<bool>* stop)
{
    const int slice = stop ? 125 : -1;
    for (;;) {
        if (stop && stop->load())
            return false;
        pollfd wait{handle, POLLOUT, 0};
        int ready = poll(&wait, 1, slice);
        if (ready < 0 && errno != EINTR)
            RaiseLastError();
        if (ready > 0)
            break;
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(handle, SOL_SOCKET, SO_ERROR, &error, &length) < 0)
        RaiseLastError();
    if (error != 0)
        RaiseSocketError(TIdStack::TranslateErrno(error));
    return true;
}

} // namespace

bool TIdStack::Connect(int handle, const std::string& ip, int port, TIdIPVersion ipVersion,
                       const std::atomic<bool>* stop)
{
    SocketAddress address;
    socklen_t length = MakeAddress(address, ip, port, ipVersion);
    // The connect runs non-blocking under a readiness wait, so that a signal
    // or a stop request cannot leave it half done.
    SetBlocking(handle, false);
    bool connected = true;
    if (connect(handle, &address.generic, length) != 0) {
        if (errno != EINPROGRESS && errno != EINTR)
            RaiseLastError();
        connected = AwaitConnect(handle, stop);
    }
    if (connected)
        SetBlocking(handle, true);
    return connected;
}

void TIdStack::SetNoDelay(int handle, bool noDelay)
{
    int value = noDelay ? 1 : 0;
    if (setsockopt(handle, IPPROTO_TCP, TCP_NODELAY, &value, sizeof value) != 0)
        RaiseLastError();
}

void TIdStack::GetSocketName(int handle, std::string& ip, int& port)
{
    SocketAddress address;
    socklen_t length = sizeof address;
    if (getsockname(handle, &address.generic, &length) != 0)
        RaiseLastError();
    ReadAddress(address, ip, port);
}

void TIdStack::GetPeerName(int handle, std::string& ip, int& port)
{
    SocketAddress address;
    socklen_t length = sizeof address;
    if (getpeername(handle, &address.generic, &length) != 0)
        RaiseLastError();
    ReadAddress(address, ip, port);
}

int TIdStack::Receive(int handle, char* buffer, int size, bool wait)
{
    for (;;) {
        ssize_t received = recv(handle, buffer, static_cast<std::size_t>(size), wait ? 0 : MSG_DONTWAIT);
        if (received >= 0)
            return static_cast<int>(received);
        if (!wait && (errno == EAGAIN || errno == EWOULDBLOCK))
            return -1;
        if (errno != EINTR)
            RaiseLastError();
    }
}

int TIdStack::Send(int handle, const char* buffer, int size)
{
    for (;;) {
        ssize_t sent = send(handle, buffer, static_cast<std::size_t>(size), MSG_NOSIGNAL);
        if (sent >= 0)
            return static_cast<int>(sent);
        if (errno != EINTR)
            RaiseLastError();
    }
}

void TIdStack::ShutdownSending(int handle)
{
    // The peer may have gone already; that is no failure of a close.
    shutdown(handle, SHUT_WR);
}

void TIdStack::Close(int handle)
{
    close(handle);
}

bool TIdStack::IsIP(const std::string& host, TIdIPVersion ipVersion)
{
    if (ipVersion == Id_IPv6) {
        in6_addr address;
        return inet_pton(AF_INET6, host.c_str(), &address) == 1;
    }
    return IsDottedQuad(host);
}

std::string TIdStack::ResolveHost(const std::string& host, TIdIPVersion ipVersion)
{
    if (ipVersion == Id_IPv4 && IsLocalhost(host))
        return "127.0.0.1";
    if (ipVersion == Id_IPv4 && IsDottedQuad(host))
        return host;
    if (ipVersion == Id_IPv6 && IsIP(host, Id_IPv6)) {
        // The canonical form of the literal.
        SocketAddress address;
        MakeAddress(address, host, 0, Id_IPv6);
        std::string ip;
        int port = 0;
        ReadAddress(address, ip, port);
        return ip;
    }

    addrinfo hints{};
    hints.ai_family = Family(ipVersion);
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* answer = nullptr;
    int result = getaddrinfo(host.c_str(), nullptr, &hints, &answer);
    int systemError = errno;
    std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> answers(answer, &freeaddrinfo);
    if (result != 0)
        RaiseSocketError(TranslateResolverError(result, systemError));
    if (!answer)
        RaiseSocketError(IdSocketErrors::HostNotFound);
    SocketAddress address;
    std::memcpy(&address, answer->ai_addr, std::min<std::size_t>(answer->ai_addrlen, sizeof address));
    std::string ip;
    int port = 0;
    ReadAddress(address, ip, port);
    return ip;
}

int TIdStack::TranslateErrno(int error)
{
    switch (error) {
    case EINTR: return IdSocketErrors::Interrupted;
    case EBADF: return IdSocketErrors::BadFile;
    case EACCES:
    case EPERM: return IdSocketErrors::AccessDenied;
    case EFAULT: return IdSocketErrors::BufferFault;
    case EINVAL: return IdSocketErrors::InvalidArgument;
    case EMFILE:
    case ENFILE: return IdSocketErrors::TooManyOpenFiles;
#if EAGAIN != EWOULDBLOCK
    case EAGAIN:
#endif
    case EWOULDBLOCK: return IdSocketErrors::WouldBlock;
    case EINPROGRESS: return IdSocketErrors::InProgress;
    case EALREADY: return IdSocketErrors::AlreadyInProgress;
    case ENOTSOCK: return IdSocketErrors::NotASocket;
    case EDESTADDRREQ: return IdSocketErrors::DestinationRequired;
    case EMSGSIZE: return IdSocketErrors::MessageTooLong;
    case EPROTOTYPE: return IdSocketErrors::WrongProtocolType;
    case ENOPROTOOPT: return IdSocketErrors::BadProtocolOption;
    case EPROTONOSUPPORT: return IdSocketErrors::ProtocolNotSupported;
    case ESOCKTNOSUPPORT: return IdSocketErrors::SocketTypeNotSupported;
    case EOPNOTSUPP: return IdSocketErrors::OperationNotSupported;
    case EPFNOSUPPORT: return IdSocketErrors::ProtocolFamilyNotSupported;
    case EAFNOSUPPORT: return IdSocketErrors::AddressFamilyNotSupported;
    case EADDRINUSE: return IdSocketErrors::AddressInUse;
    case EADDRNOTAVAIL: return IdSocketErrors::AddressNotAvailable;
    case ENETDOWN: return IdSocketErrors::NetworkDown;
    case ENETUNREACH: return IdSocketErrors::NetworkUnreachable;
    case ENETRESET: return IdSocketErrors::NetworkReset;
    case ECONNABORTED: return IdSocketErrors::ConnectionAborted;
    // A send after the peer reset the connection.
    case ECONNRESET:
    case EPIPE: return IdSocketErrors::ConnectionReset;
    case ENOBUFS:
    case ENOMEM: return IdSocketErrors::NoBufferSpace;
    case EISCONN: return IdSocketErrors::AlreadyConnected;
    case ENOTCONN: return IdSocketErrors::NotConnected;
    case ESHUTDOWN: return IdSocketErrors::ShutDown;
    case ETOOMANYREFS: return IdSocketErrors::TooManyReferences;
    case ETIMEDOUT: return IdSocketErrors::TimedOut;
    case ECONNREFUSED: return IdSocketErrors::ConnectionRefused;
    case ELOOP: return IdSocketErrors::SymbolicLinkLoop;
    case ENAMETOOLONG: return IdSocketErrors::NameTooLong;
    case EHOSTDOWN: return IdSocketErrors::HostDown;
    case EHOSTUNREACH: return IdSocketErrors::HostUnreachable;
    case ENOTEMPTY: return IdSocketErrors::DirectoryNotEmpty;
    default: return error;
    }
}

int TIdStack::TranslateResolverError(int error, int systemError)
{
    switch (error) {
    case EAI_AGAIN: return IdSocketErrors::TryAgain;
    case EAI_BADFLAGS: return IdSocketErrors::InvalidArgument;
    case EAI_FAIL: return IdSocketErrors::NoRecovery;
    case EAI_FAMILY: return IdSocketErrors::AddressFamilyNotSupported;
    case EAI_MEMORY: return IdSocketErrors::NotEnoughMemory;
#ifdef EAI_NODATA
    case EAI_NODATA: return IdSocketErrors::NoData;
#endif
#ifdef EAI_ADDRFAMILY
    // The name exists, but has no address of the family.
    case EAI_ADDRFAMILY: return IdSocketErrors::NoData;
#endif
    case EAI_NONAME: return IdSocketErrors::HostNotFound;
    case EAI_SERVICE: return IdSocketErrors::ServiceNotFound;
    case EAI_SOCKTYPE: return IdSocketErrors::SocketTypeNotSupported;
    case EAI_SYSTEM: return TranslateErrno(systemError);
    default: return IdSocketErrors::HostNotFound;
    }
}

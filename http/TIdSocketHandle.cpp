#include "http/TIdSocketHandle.h"

#include "http/EIdException.h"
#include "http/EIdSocketError.h"
#include "http/TIdStack.h"

TIdSocketHandle::TIdSocketHandle()
{
    TIdStack::IncUsage();
}

TIdSocketHandle::~TIdSocketHandle()
{
    CloseSocket();
    TIdStack::DecUsage();
}

int TIdSocketHandle::CheckedHandle() const
{
    int handle = handle_.load();
    if (handle < 0)
        RaiseSocketError(IdSocketErrors::NotASocket);
    return handle;
}

void TIdSocketHandle::AllocateSocket(TIdIPVersion ipVersion)
{
    CloseSocket();
    ipVersion_ = ipVersion;
    int handle = TIdStack::Instance().NewSocketHandle(ipVersion);
    std::lock_guard<std::mutex> lock(lock_);
    handle_ = handle;
    readList_.Clear();
    readList_.Add(handle);
}

void TIdSocketHandle::SetClientPortRange(int low, int high)
{
    clientPortMin_ = low;
    clientPortMax_ = high;
}

void TIdSocketHandle::Bind()
{
    TIdStack& stack = TIdStack::Instance();
    int handle = CheckedHandle();
    auto tryBind = [&](int port) {
        try {
            return stack.TryBind(handle, ip_, port, ipVersion_);
        } catch (const EIdSocketError&) {
            return false; // an address that is none of this machine's
        }
    };
    if (port_ == 0 && clientPortMin_ != 0 && clientPortMax_ != 0) {
        if (clientPortMin_ > clientPortMax_)
            throw EIdInvalidPortRange(clientPortMin_, clientPortMax_);
        for (int port = clientPortMin_; port <= clientPortMax_; ++port)
            if (tryBind(port))
                return;
        throw EIdCanNotBindPortInRange(clientPortMin_, clientPortMax_);
    }
    if (!tryBind(port_))
        throw EIdCouldNotBindSocket();
}

bool TIdSocketHandle::Connect(const std::atomic<bool>* stop)
{
    return TIdStack::Instance().Connect(CheckedHandle(), peerIP_, peerPort_, ipVersion_, stop);
}

void TIdSocketHandle::CloseSocket()
{
    std::lock_guard<std::mutex> lock(lock_);
    int handle = handle_.exchange(-1);
    if (handle < 0)
        return;
    readList_.Clear();
    TIdStack& stack = TIdStack::Instance();
    stack.ShutdownSending(handle);
    stack.Close(handle);
}

void TIdSocketHandle::Reset()
{
    ip_.clear();
    port_ = 0;
    peerIP_.clear();
    peerPort_ = 0;
}

void TIdSocketHandle::SetPeer(std::string ip, int port)
{
    peerIP_ = std::move(ip);
    peerPort_ = port;
}

void TIdSocketHandle::UpdateBindingLocal()
{
    std::lock_guard<std::mutex> lock(lock_);
    TIdStack::Instance().GetSocketName(CheckedHandle(), ip_, port_);
}

void TIdSocketHandle::UpdateBindingPeer()
{
    std::lock_guard<std::mutex> lock(lock_);
    TIdStack::Instance().GetPeerName(CheckedHandle(), peerIP_, peerPort_);
}

bool TIdSocketHandle::Readable(int timeoutMs)
{
    if (!HandleAllocated())
        throw EIdConnClosedGracefully();
    return readList_.SelectRead(timeoutMs);
}

int TIdSocketHandle::Receive(char* buffer, int size, bool wait)
{
    return TIdStack::Instance().Receive(CheckedHandle(), buffer, size, wait);
}

int TIdSocketHandle::Send(const char* buffer, int size)
{
    return TIdStack::Instance().Send(CheckedHandle(), buffer, size);
}

void TIdSocketHandle::SetNoDelay(bool noDelay)
{
    TIdStack::Instance().SetNoDelay(CheckedHandle(), noDelay);
}

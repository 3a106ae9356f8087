#include "http/TIdIOHandlerStack.h"

#include "http/EIdException.h"
#include "http/EIdSocketError.h"
#include "http/TIdConnectThread.h"
#include "http/TIdStack.h"

#include <algorithm>
#include <climits>
#include <strings.h>

void TIdIOHandlerStack::Open()
{
    TIdIOHandlerSocket::Open();
    if (!Host().empty() && Port() > 0)
        ConnectClient();
}

void TIdIOHandlerStack::ConnectClient()
{
    TIdSocketHandle& binding = *Binding();
    binding.AllocateSocket(IPVersion());
    binding.SetIP(BoundIP());
    binding.SetPort(BoundPort());
    binding.SetClientPortRange(BoundPortMin(), BoundPortMax());
    binding.Bind();
    binding.SetNoDelay(!UseNagle());

    std::string peerIP = ResolvePeer();
    binding.SetPeer(peerIP, Port());
    DoStatus(hsConnecting, peerIP);
    if (ConnectTimeout() == 0 && !WaitsAreBounded())
        binding.Connect();
    else
        ConnectWithTimeout();
    binding.UpdateBindingLocal();
    binding.UpdateBindingPeer();
}

std::string TIdIOHandlerStack::ResolvePeer()
{
    bool localhost = IPVersion() == Id_IPv4 && strcasecmp(Host().c_str(), "LOCALHOST") == 0;
    if (!localhost && !TIdStack::IsIP(Host(), IPVersion()))
        DoStatus(hsResolving, Host());
    return TIdStack::Instance().ResolveHost(Host(), IPVersion());
}

void TIdIOHandlerStack::ConnectWithTimeout()
{
    TIdConnectThread thread(*Binding());
    const int limit = ConnectTimeout() == 0 ? -1 : ConnectTimeout();
    if (!Await(limit, [&](int ms) { return thread.WaitFor(ms); })) {
        thread.Terminate();
        Binding()->CloseSocket();
        throw EIdConnectTimeout();
    }
    thread.RaiseCapturedError();
}

int TIdIOHandlerStack::ReceiveStep(bool raiseIfDisconnected, int timeout, bool raiseOnTimeout)
{
    const int wait = EffectiveTimeout(timeout);
    int received = 0;
    do {
        DetectPeerClose(raiseIfDisconnected, false);
        if (!BindingAllocated() || !Opened()) {
            if (raiseIfDisconnected)
                throw EIdException("Not Connected");
            return 0;
        }
        received = ReceiveWithin(wait);
        if (received < 0) {
            if (raiseOnTimeout)
                throw EIdReadTimeout();
            return -1;
        }
        closedGracefully_ = received == 0;
        DetectPeerClose(raiseIfDisconnected, false);
    } while (received == 0 && BindingAllocated());
    return received;
}

int TIdIOHandlerStack::ReceiveWithin(int wait)
{
    // Bytes that are already there need no readiness wait.
    int received = ReceiveOnce(false);
    if (received >= 0)
        return received;
    if (!WaitReadable(wait))
        return -1;
    return ReceiveOnce(true);
}

// Receives straight into the input buffer: with wait, blocking until
// something comes; without it, -1 when nothing has arrived.
int TIdIOHandlerStack::ReceiveOnce(bool wait)
{
    if (!BindingAllocated())
        throw EIdClosedSocket();
    char* room = inputBuffer_->PrepareAppend(RecvBufferSize());
    int received = Binding()->Receive(room, RecvBufferSize(), wait);
    inputBuffer_->CommitAppend(received);
    return received;
}

void TIdIOHandlerStack::DetectPeerClose(bool raiseIfDisconnected, bool ignoreBuffer)
{
    bool lost = !BindingAllocated();
    if (closedGracefully_ && BindingAllocated()) {
        Binding()->CloseSocket();
        DoStatus(hsDisconnected);
        lost = true;
    }
    if (lost && raiseIfDisconnected && (ignoreBuffer || InputBufferIsEmpty()))
        throw EIdConnClosedGracefully();
}

bool TIdIOHandlerStack::IsConnected()
{
    try {
        ReceiveStep(false, 0, false);
    } catch (const EIdSocketError&) {
        // A reset connection is simply no longer connected; asking must not
        // fail. What arrived before the reset stays readable.
        if (BindingAllocated())
            Binding()->CloseSocket();
    }
    // Bytes left over after the peer closed keep the connection alive for
    // the reader, but not after the connection itself was closed.
    bool empty = InputBufferIsEmpty();
    return Opened() && ((BindingAllocated() && !(closedGracefully_ && empty)) || !empty);
}

void TIdIOHandlerStack::SendNow(std::string_view bytes)
{
    DetectPeerClose(true, true);
    while (!bytes.empty()) {
        int sent = SendSome(bytes);
        bytes.remove_prefix(static_cast<std::size_t>(sent));
        DoWork(wmWrite, sent);
    }
}

int TIdIOHandlerStack::SendSome(std::string_view bytes)
{
    int offered = static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX));
    int sent = Binding()->Send(bytes.data(), offered);
    if (sent == 0) {
        closedGracefully_ = true;
        DetectPeerClose(true, true);
    }
    return sent;
}

#include "http/TIdIOHandlerSocket.h"

TIdIOHandlerSocket::TIdIOHandlerSocket(TComponent* owner) : TIdIOHandler(owner) {}

TIdIOHandlerSocket::~TIdIOHandlerSocket() = default;

void TIdIOHandlerSocket::Open()
{
    TIdIOHandler::Open();
    if (binding_)
        binding_->Reset();
    else
        binding_ = std::make_unique<TIdSocketHandle>();
}

void TIdIOHandlerSocket::Close()
{
    if (binding_)
        binding_->CloseSocket();
    TIdIOHandler::Close();
}

bool TIdIOHandlerSocket::WaitReadable(int timeoutMs)
{
    return Await(timeoutMs, [this](int ms) { return binding_->Readable(ms); });
}

void TIdIOHandlerSocket::SetBoundPortRange(int low, int high)
{
    boundPortMin_ = low;
    boundPortMax_ = high;
}

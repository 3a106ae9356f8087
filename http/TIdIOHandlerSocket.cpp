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

void TIdIOHandlerSocket::SetBoundPortRange(int low, int high)
{
    boundPortMin_ = low;
    boundPortMax_ = high;
}

#pragma once

#include "http/EIdException.h"
#include "http/TIdIOHandler.h"

#include <algorithm>
#include <string>
#include <string_view>

// A transport that plays given server bytes, a few at a time, and then
// closes; every connection continues where the last one stopped. What the
// client sends is kept. Nothing ever waits, so no read can time out.
class TMemoryIOHandler : public TIdIOHandler {
public:
    TMemoryIOHandler(std::string_view serverBytes, std::size_t piece)
        : serverBytes_(serverBytes), piece_(std::max<std::size_t>(piece, 1))
    {}

    void Open() override
    {
        TIdIOHandler::Open();
        open_ = true;
    }

    void Close() override
    {
        open_ = false;
        TIdIOHandler::Close();
    }

    bool IsConnected() override
    {
        ReceiveStep(false, 0, false);
        bool empty = InputBufferIsEmpty();
        return Opened() && ((open_ && !(closedGracefully_ && empty)) || !empty);
    }

    int ReceiveStep(bool raiseIfDisconnected, int, bool) override
    {
        DetectPeerClose(raiseIfDisconnected, false);
        if (!open_ || !Opened()) {
            if (raiseIfDisconnected)
                throw EIdException("Not Connected");
            return 0;
        }
        std::string_view piece = serverBytes_.substr(0, piece_);
        serverBytes_.remove_prefix(piece.size());
        inputBuffer_->Append(piece);
        closedGracefully_ = piece.empty();
        DetectPeerClose(raiseIfDisconnected, false);
        return static_cast<int>(piece.size());
    }

    void DetectPeerClose(bool raiseIfDisconnected, bool ignoreBuffer) override
    {
        bool lost = !open_;
        if (closedGracefully_ && open_) {
            open_ = false;
            lost = true;
        }
        if (lost && raiseIfDisconnected && (ignoreBuffer || InputBufferIsEmpty()))
            throw EIdConnClosedGracefully();
    }

    const std::string& Sent() const { return sent_; }

protected:
    void SendNow(std::string_view bytes) override
    {
        DetectPeerClose(true, true);
        sent_.append(bytes);
    }

private:
    std::string_view serverBytes_;
    std::size_t piece_;
    bool open_ = false;
    std::string sent_;
};

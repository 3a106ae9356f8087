#include "http/TIdIOHandler.h"

#include "http/EIdException.h"
#include "runtime/TStream.h"
#include "runtime/TThread.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace {

// A stream is sized up front for a known count, but never by more than this:
// the count comes from the peer.
constexpr std::int64_t kMaxPresize = std::int64_t(64) << 20;
// How often a wait on a worker thread looks whether it was asked to stop.
constexpr int kStopCheckMs = 100;

std::int64_t MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now() - start).count();
}

} // namespace

TIdIOHandler::TIdIOHandler(TComponent* owner) : TIdComponent(owner), inputBuffer_(std::make_unique<TIdBuffer>()) {}

TIdIOHandler::~TIdIOHandler() = default;

void TIdIOHandler::Open()
{
    // Bytes taken from the input buffer are read progress.
    inputBuffer_ = std::make_unique<TIdBuffer>([this](std::int64_t count) { DoWork(wmRead, count); });
    writeBuffer_.reset();
    closedGracefully_ = false;
    opened_ = true;
}

void TIdIOHandler::Close()
{
    writeBuffer_.reset();
    opened_ = false;
}

void TIdIOHandler::SetRecvBufferSize(int size)
{
    recvBufferSize_ = std::max(size, 1);
}

void TIdIOHandler::SetSendBufferSize(int size)
{
    sendBufferSize_ = std::max(size, 1);
}

int TIdIOHandler::EffectiveTimeout(int timeout) const
{
    if (timeout == -1)
        return readTimeout_ > 0 ? readTimeout_ : -1;
    return timeout < -1 ? -1 : timeout;
}

bool TIdIOHandler::WaitsAreBounded() const
{
    return deadline_ || TThread::Current();
}

TIdIOHandler::TDeadline TIdIOHandler::DeadlineAfter(int milliseconds)
{
    if (milliseconds < 0)
        return {};
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
}

int TIdIOHandler::MillisecondsLeft(const TDeadline& deadline)
{
    if (!deadline)
        return -1;
    auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now()).count();
    return static_cast<int>(std::max<long long>(left, 0));
}

bool TIdIOHandler::Await(int timeoutMs, const std::function<bool(int)>& ready) const
{
    if (timeoutMs == 0)
        return ready(0);
    const TDeadline end = DeadlineAfter(timeoutMs);
    const TThread* thread = TThread::Current();
    for (;;) {
        if (thread && thread->Terminated())
            throw EAbort();
        if (deadline_ && std::chrono::steady_clock::now() >= *deadline_)
            throw EIdRequestTimeout();
        int slice = thread ? kStopCheckMs : -1;
        for (const TDeadline& limit : {end, deadline_}) {
            const int left = MillisecondsLeft(limit);
            if (left >= 0)
                slice = slice < 0 ? left : std::min(slice, left);
        }
        if (ready(slice))
            return true;
        if (end && std::chrono::steady_clock::now() >= *end)
            return false;
    }
}

std::string TIdIOHandler::ReadLine(const std::string& terminator, int timeout, int maxLength)
{
    const std::string ending = terminator.empty() ? "\n" : terminator;
    const std::int64_t limit = maxLength < 0 ? maxLineLength_ : maxLength;
    readLnSplit_ = false;
    readLnTimedOut_ = false;
    // The clock is read only when a timeout argument limits the whole read.
    const auto start = timeout >= 0 ? std::chrono::steady_clock::now() : std::chrono::steady_clock::time_point();

    std::int64_t searchFrom = 0;
    for (;;) {
        std::int64_t found = inputBuffer_->FindBytes(ending, searchFrom);
        if (found > limit || (found < 0 && inputBuffer_->ByteCount() > limit))
            return TooLongLine(limit);
        if (found >= 0) {
            std::string line = inputBuffer_->TakeFront(found + static_cast<std::int64_t>(ending.size()));
            line.resize(static_cast<std::size_t>(found));
            if (ending == "\n" && !line.empty() && line.back() == '\r')
                line.pop_back();
            return line;
        }
        // Only bytes that arrive from now on can complete the terminator.
        searchFrom =
            std::max<std::int64_t>(0, inputBuffer_->ByteCount() - static_cast<std::int64_t>(ending.size()) + 1);
        DetectPeerClose(true, true);
        int received = ReceiveStep(true, timeout, false);
        if (received == -1 || (timeout >= 0 && MillisecondsSince(start) > timeout)) {
            readLnTimedOut_ = true;
            return {};
        }
    }
}

std::string TIdIOHandler::TooLongLine(std::int64_t maxLength)
{
    if (maxLineAction_ == maException)
        throw EIdReadLnMaxLineLengthExceeded();
    readLnSplit_ = true;
    return inputBuffer_->TakeFront(maxLength);
}

void TIdIOHandler::WaitForBytes(std::int64_t count)
{
    while (inputBuffer_->ByteCount() < count) {
        ReceiveStep(false, -1, true);
        DetectPeerClose(true, true);
    }
}

void TIdIOHandler::ReadByteCount(std::string& buffer, std::int64_t count, bool append)
{
    if (!append)
        buffer.clear();
    if (count > 0) {
        WaitForBytes(count);
        buffer += inputBuffer_->TakeFront(count);
    } else if (count == -1) {
        ReceiveStep(false, -1, false);
        DetectPeerClose(true, false);
        buffer += inputBuffer_->TakeFront(-1);
    }
}

std::string TIdIOHandler::TakeBufferedText()
{
    return inputBuffer_->TakeFront(-1);
}

void TIdIOHandler::CopyToStream(TStream& stream, std::int64_t count, bool readUntilDisconnect)
{
    if (count < 0)
        readUntilDisconnect = true;
    if (readUntilDisconnect)
        count = std::numeric_limits<std::int64_t>::max();
    else if (count == 0)
        return;
    else if (std::int64_t end = stream.Position() + std::min(count, kMaxPresize); stream.Size() < end)
        stream.SetSize(end);

    BeginWork(wmRead, readUntilDisconnect ? 0 : count);
    // The stream ends where the copy ended, also when it ends by a failure:
    // what the peer sent so far stays, and nothing of the presizing.
    auto finish = [&] {
        EndWork(wmRead);
        if (stream.Size() > stream.Position())
            stream.SetSize(stream.Position());
    };
    try {
        std::int64_t remaining = count;
        CopyBufferedToStream(stream, remaining);
        CopyChunks(stream, remaining, readUntilDisconnect);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TIdIOHandler::CopyBufferedToStream(TStream& stream, std::int64_t& remaining)
{
    std::int64_t buffered = std::min(inputBuffer_->ByteCount(), remaining);
    inputBuffer_->TakeFrontToStream(stream, buffered);
    remaining -= buffered;
}

void TIdIOHandler::CopyChunks(TStream& stream, std::int64_t& remaining, bool readUntilDisconnect)
{
    while (remaining > 0 && IsConnected()) {
        std::int64_t chunk = std::min<std::int64_t>(recvBufferSize_, remaining);
        try {
            WaitForBytes(chunk);
        } catch (const EIdException& failure) {
            chunk = std::min(chunk, inputBuffer_->ByteCount());
            inputBuffer_->TakeFrontToStream(stream, chunk);
            remaining -= chunk;
            if (readUntilDisconnect && dynamic_cast<const EIdConnClosedGracefully*>(&failure))
                return;
            throw;
        }
        inputBuffer_->TakeFrontToStream(stream, chunk);
        remaining -= chunk;
    }
    if (remaining > 0)
        RaiseIfCutOff();
}

// A connection that went before the copy was done: a plain close changes
// nothing here, but a transport that can tell a cut-off connection from a
// closed one raises its own failure for it.
void TIdIOHandler::RaiseIfCutOff()
{
    try {
        DetectPeerClose(true, true);
    } catch (const EIdConnClosedGracefully&) {}
}

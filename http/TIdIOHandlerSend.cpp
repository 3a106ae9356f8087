// The writing half of TIdIOHandler: direct sends and write batches.
#include "http/TIdIOHandler.h"

#include "runtime/TStream.h"

#include <algorithm>
#include <vector>

namespace {

std::string NetworkOrder(std::uint64_t value, int bytes)
{
    std::string text(static_cast<std::size_t>(bytes), '\0');
    for (int i = bytes - 1; i >= 0; --i, value >>= 8)
        text[static_cast<std::size_t>(i)] = static_cast<char>(value & 0xFF);
    return text;
}

} // namespace

void TIdIOHandler::SendText(const std::string& text)
{
    if (!text.empty())
        SendBytes(text);
}

void TIdIOHandler::SendBytes(std::string_view bytes)
{
    if (!writeBuffer_) {
        SendNow(bytes);
        return;
    }
    writeBuffer_->Append(bytes);
    if (writeThreshold_ > 0 && writeBuffer_->ByteCount() >= writeThreshold_)
        FlushBatch();
}

void TIdIOHandler::SendLine(const std::string& text)
{
    SendBytes(text + "\r\n");
}

void TIdIOHandler::SendInt32(std::int32_t value)
{
    SendBytes(NetworkOrder(static_cast<std::uint32_t>(value), 4));
}

void TIdIOHandler::SendLines(const std::vector<std::string>& lines, bool writeCount)
{
    BeginBatch();
    try {
        if (writeCount)
            SendInt32(static_cast<std::int32_t>(lines.size()));
        for (const std::string& line : lines)
            SendLine(line);
    } catch (...) {
        CancelBatch();
        throw;
    }
    EndBatch();
}

void TIdIOHandler::SendStream(TStream& stream, std::int64_t size, bool writeSize)
{
    if (size == 0) {
        stream.SetPosition(0);
        size = stream.Size();
    } else if (size < 0) {
        size = std::max<std::int64_t>(stream.Size() - stream.Position(), 0);
    }
    if (writeSize)
        SendBytes(NetworkOrder(static_cast<std::uint64_t>(size), largeStream_ ? 8 : 4));

    BeginWork(wmWrite, size);
    try {
        std::vector<char> chunk(
            static_cast<std::size_t>(std::min<std::int64_t>(sendBufferSize_, std::max<std::int64_t>(size, 1))));
        for (std::int64_t left = size; left > 0;) {
            std::int64_t step = std::min<std::int64_t>(left, static_cast<std::int64_t>(chunk.size()));
            stream.ReadBuffer(chunk.data(), step);
            SendBytes({chunk.data(), static_cast<std::size_t>(step)});
            left -= step;
        }
    } catch (...) {
        EndWork(wmWrite);
        throw;
    }
    EndWork(wmWrite);
}

void TIdIOHandler::BeginBatch(int threshold)
{
    writeThreshold_ = threshold;
    if (!writeBuffer_)
        writeBuffer_ = std::make_unique<TIdBuffer>();
}

void TIdIOHandler::FlushBatch()
{
    if (!writeBuffer_ || writeBuffer_->IsEmpty())
        return;
    // Taken out first, so a failing send does not send the bytes again.
    std::string bytes = writeBuffer_->TakeFront(-1);
    SendNow(bytes);
}

void TIdIOHandler::EndBatch()
{
    try {
        FlushBatch();
    } catch (...) {
        writeBuffer_.reset();
        throw;
    }
    writeBuffer_.reset();
}

void TIdIOHandler::CancelBatch()
{
    writeBuffer_.reset();
}

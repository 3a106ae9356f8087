#include "http/TIdBuffer.h"

#include "http/EIdException.h"
#include "runtime/TStream.h"

#include <algorithm>
#include <cstring>

void TIdBuffer::Append(std::string_view bytes)
{
    auto count = static_cast<std::int64_t>(bytes.size());
    if (count == 0)
        return;
    std::memcpy(PrepareAppend(count), bytes.data(), bytes.size());
    CommitAppend(count);
}

char* TIdBuffer::PrepareAppend(std::int64_t count)
{
    if (count < 0 || head_ + size_ + count > kMaxBytes)
        throw EIdTooMuchDataInBuffer();
    if (head_ + size_ + count > capacity_)
        Grow(size_ + count);
    return data_.get() + head_ + size_;
}

void TIdBuffer::CommitAppend(std::int64_t count)
{
    size_ += std::clamp<std::int64_t>(count, 0, capacity_ - head_ - size_);
}

// Grows in steps of 2048 beyond what is needed, but at least by half the
// current capacity, so that a long run of appends stays linear. The live
// bytes move to the front of the new array.
void TIdBuffer::Grow(std::int64_t needed)
{
    std::int64_t capacity = std::max(needed + kGrowthStep, capacity_ + capacity_ / 2);
    capacity = std::min(capacity, kMaxBytes);
    auto data = std::make_unique<char[]>(static_cast<std::size_t>(capacity));
    if (size_ > 0)
        std::memcpy(data.get(), data_.get() + head_, static_cast<std::size_t>(size_));
    data_ = std::move(data);
    capacity_ = capacity;
    head_ = 0;
}

std::int64_t TIdBuffer::CheckedCount(std::int64_t count) const
{
    if (count == -1)
        return size_;
    if (count < 0 || count > size_)
        throw EIdNotEnoughDataInBuffer("Not enough data in buffer. (" + std::to_string(count) + "/" +
                                       std::to_string(size_) + ")");
    return count;
}

std::string TIdBuffer::TakeFront(std::int64_t count)
{
    count = CheckedCount(count);
    std::string bytes(data_.get() + head_, static_cast<std::size_t>(count));
    Removed(count);
    return bytes;
}

void TIdBuffer::TakeFrontToStream(TStream& stream, std::int64_t count)
{
    count = CheckedCount(count);
    stream.WriteBuffer(data_.get() + head_, count);
    Removed(count);
}

void TIdBuffer::DropFront(std::int64_t count)
{
    Removed(CheckedCount(count));
}

void TIdBuffer::Reset()
{
    data_.reset();
    capacity_ = head_ = size_ = 0;
}

void TIdBuffer::Removed(std::int64_t count)
{
    if (count == 0)
        return;
    head_ += count;
    size_ -= count;
    if (size_ == 0) {
        head_ = 0;
    } else if (head_ > kGrowthStep) {
        std::memmove(data_.get(), data_.get() + head_, static_cast<std::size_t>(size_));
        head_ = 0;
    }
    if (onRemove_)
        onRemove_(count);
}

std::int64_t TIdBuffer::FindBytes(std::string_view bytes, std::int64_t start) const
{
    if (bytes.empty())
        throw EIdException("Buffer terminator must be specified.");
    if (start < 0 || start > size_)
        throw EIdException("Buffer start position is invalid.");
    std::string_view live = Bytes();
    std::size_t found;
    if (bytes.size() == 1) {
        const void* hit = size_ > start ? std::memchr(live.data() + start, bytes[0], live.size() - start) : nullptr;
        found = hit ? static_cast<const char*>(hit) - live.data() : std::string_view::npos;
    } else {
        found = live.find(bytes, static_cast<std::size_t>(start));
    }
    return found == std::string_view::npos ? -1 : static_cast<std::int64_t>(found);
}

#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class TStream;

// A growable byte queue: bytes are appended at the back and taken from the
// front. Taking only moves a head index; once the head has passed 2048 bytes
// the live bytes are moved to the front of the array.
class TIdBuffer {
public:
    // Told how many bytes each removal took from the front.
    using TRemoveEvent = std::function<void(std::int64_t count)>;

    static constexpr std::int64_t kGrowthStep = 2048;
    // The queue never holds more than the largest 32-bit signed count.
    static constexpr std::int64_t kMaxBytes = 0x7FFFFFFF;

    TIdBuffer() = default;
    explicit TIdBuffer(TRemoveEvent onRemove) : onRemove_(std::move(onRemove)) {}
    TIdBuffer(const TIdBuffer&) = delete;
    TIdBuffer& operator=(const TIdBuffer&) = delete;

    std::int64_t ByteCount() const { return size_; }
    bool IsEmpty() const { return size_ == 0; }
    std::int64_t Capacity() const { return capacity_; }
    std::int64_t HeadIndex() const { return head_; }
    // The live bytes, valid until the next change.
    std::string_view Bytes() const { return {data_.get() + head_, static_cast<std::size_t>(size_)}; }

    void Append(std::string_view bytes);
    // Room for count more bytes at the back, to be filled by the caller (a
    // socket receive, say) and confirmed with CommitAppend.
    char* PrepareAppend(std::int64_t count);
    void CommitAppend(std::int64_t count);

    // count -1 takes everything.
    std::string TakeFront(std::int64_t count = -1);
    void TakeFrontToStream(TStream& stream, std::int64_t count = -1);
    void DropFront(std::int64_t count);
    void Reset();

    // 0-based position of the first occurrence of bytes at or after start,
    // -1 when there is none.
    std::int64_t FindBytes(std::string_view bytes, std::int64_t start = 0) const;

private:
    std::int64_t CheckedCount(std::int64_t count) const;
    void Grow(std::int64_t needed);
    void Removed(std::int64_t count);

    std::unique_ptr<char[]> data_;
    std::int64_t capacity_ = 0;
    std::int64_t head_ = 0;
    std::int64_t size_ = 0;
    TRemoveEvent onRemove_;
};

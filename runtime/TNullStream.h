#pragma once

#include "runtime/TStream.h"

#include <algorithm>

// A stream that forgets what is written to it: the sink of bytes that are
// read only to get past them.
class TNullStream : public TStream {
public:
    std::int64_t Read(void*, std::int64_t) override { return 0; }
    std::int64_t Write(const void*, std::int64_t count) override
    {
        position_ += count;
        size_ = std::max(size_, position_);
        return count;
    }
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override
    {
        position_ = origin == soBeginning ? offset : origin == soCurrent ? position_ + offset : size_ + offset;
        return position_;
    }
    void SetSize(std::int64_t size) override { size_ = size; }
    std::int64_t Size() override { return size_; }

private:
    std::int64_t position_ = 0;
    std::int64_t size_ = 0;
};

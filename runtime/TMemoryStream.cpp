#include "runtime/TMemoryStream.h"

#include "runtime/TFileStream.h"

#include <algorithm>
#include <cstring>

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count)
{
    std::int64_t available = Size() - position_;
    std::int64_t moved = std::clamp<std::int64_t>(count, 0, std::max<std::int64_t>(available, 0));
    if (moved > 0)
        std::memcpy(buffer, data_.data() + position_, static_cast<std::size_t>(moved));
    position_ += moved;
    return moved;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count)
{
    if (count <= 0)
        return 0;
    std::int64_t end = position_ + count;
    if (end > Size())
        data_.resize(static_cast<std::size_t>(end));
    std::memcpy(data_.data() + position_, buffer, static_cast<std::size_t>(count));
    position_ = end;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    std::int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : Size();
    std::int64_t target = base + offset;
    if (target < 0)
        throw EStreamError("Stream seek before its beginning");
    position_ = target;
    return position_;
}

void TMemoryStream::SetSize(std::int64_t size)
{
    if (size < 0)
        throw EStreamError("Negative stream size");
    data_.resize(static_cast<std::size_t>(size));
    position_ = std::min(position_, size);
}

void TMemoryStream::Clear()
{
    data_.clear();
    data_.shrink_to_fit();
    position_ = 0;
}

void TMemoryStream::SaveToStream(TStream& target) const
{
    target.WriteBuffer(data_.data(), static_cast<std::int64_t>(data_.size()));
}

void TMemoryStream::SaveToFile(const std::string& fileName) const
{
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

void TMemoryStream::LoadFromFile(const std::string& fileName)
{
    TFileStream file(fileName, fmOpenRead);
    std::int64_t size = file.Size();
    data_.resize(static_cast<std::size_t>(size));
    file.ReadBuffer(data_.data(), size);
    position_ = 0;
}

#include "runtime/TStream.h"

#include <algorithm>
#include <vector>

std::int64_t TStream::Size()
{
    std::int64_t position = Seek(0, soCurrent);
    std::int64_t size = Seek(0, soEnd);
    Seek(position, soBeginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, std::int64_t count)
{
    if (count > 0 && Read(buffer, count) != count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count)
{
    if (count > 0 && Write(buffer, count) != count)
        throw EWriteError("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    constexpr std::int64_t chunk = 64 * 1024;
    std::vector<char> buffer(static_cast<std::size_t>(std::min(count, chunk)));
    std::int64_t left = count;
    while (left > 0) {
        std::int64_t step = std::min(left, chunk);
        source.ReadBuffer(buffer.data(), step);
        WriteBuffer(buffer.data(), step);
        left -= step;
    }
    return count;
}

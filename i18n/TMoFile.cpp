#include "i18n/TMoFile.h"

#include "i18n/EGnuGettext.h"
#include "runtime/TFileStream.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t kMagic = 0x950412de;
constexpr std::uint32_t kSwappedMagic = 0xde120495;
constexpr std::uint64_t kHeaderSize = 28;
constexpr std::uint64_t kEntrySize = 8;

std::string ReadFilePart(const std::string& fileName, std::int64_t offset, std::int64_t size)
{
    TFileStream file(fileName, fmOpenRead);
    std::int64_t length = file.Size();
    if (size == 0) {
        offset = 0;
        size = length;
    }
    if (offset < 0 || size < 0 || offset > length || size > length - offset)
        throw EGGIOError("This GNU gettext mo file is truncated: " + fileName);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    file.SetPosition(offset);
    file.ReadBuffer(bytes.data(), size);
    return bytes;
}

std::uint32_t LargestPowerOfTwoUpTo(std::uint32_t n)
{
    std::uint32_t power = n == 0 ? 0 : 1;
    while (power != 0 && power <= n / 2)
        power *= 2;
    return power;
}

} // namespace

TMoFile::TMoFile(const std::string& fileName, std::int64_t offset, std::int64_t size)
    : TMoFile(fileName, ReadFilePart(fileName, offset, size))
{}

TMoFile::TMoFile(const std::string& fileName, std::string bytes) : fileName_(fileName), data_(std::move(bytes))
{
    Parse();
}

void TMoFile::Parse()
{
    if (data_.size() < 4)
        throw EGGIOError("This file is not a valid GNU gettext mo file: " + fileName_);
    littleEndian_ = true;
    std::uint32_t magic = ReadWord(0);
    if (magic == kSwappedMagic)
        littleEndian_ = false;
    else if (magic != kMagic)
        throw EGGIOError("This file is not a valid GNU gettext mo file: " + fileName_);
    if (data_.size() < kHeaderSize)
        Corrupt();
    count_ = ReadWord(8);
    msgidTable_ = ReadWord(12);
    translationTable_ = ReadWord(16);
    CheckTable(msgidTable_);
    CheckTable(translationTable_);
    startIndex_ = LargestPowerOfTwoUpTo(count_);
    startStep_ = startIndex_ / 2;
}

// The first four bytes read as a little-endian word give the magic number
// 0x950412de for a little-endian file; a big-endian file reads as its swap.
std::uint32_t TMoFile::ReadWord(std::uint64_t position) const
{
    const auto* p = reinterpret_cast<const unsigned char*>(data_.data() + position);
    if (littleEndian_)
        return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    return (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

TMoFile::TEntry TMoFile::ReadEntry(std::uint32_t table, std::uint32_t index) const
{
    std::uint64_t position = table + std::uint64_t(index) * kEntrySize;
    return {ReadWord(position), ReadWord(position + 4)};
}

void TMoFile::CheckTable(std::uint32_t table) const
{
    if (table + std::uint64_t(count_) * kEntrySize > data_.size())
        Corrupt();
    for (std::uint32_t i = 0; i < count_; ++i) {
        TEntry entry = ReadEntry(table, i);
        if (std::uint64_t(entry.offset) + entry.length > data_.size())
            Corrupt();
    }
}

void TMoFile::Corrupt() const
{
    throw EGGIOError("This GNU gettext mo file is truncated or corrupt: " + fileName_);
}

std::string TMoFile::EntryText(std::uint32_t table, std::uint32_t index) const
{
    TEntry entry = ReadEntry(table, index);
    return data_.substr(entry.offset, entry.length);
}

int TMoFile::CompareWithEntry(const std::string& msgid, std::uint32_t index) const
{
    TEntry entry = ReadEntry(msgidTable_, index);
    std::size_t common = std::min<std::size_t>(msgid.size(), entry.length);
    int order = std::memcmp(msgid.data(), data_.data() + entry.offset, common);
    if (order != 0)
        return order;
    if (msgid.size() == entry.length)
        return 0;
    return msgid.size() < entry.length ? -1 : 1;
}

// A uniform binary search over the 1-based entry index: the step halves each
// round, and one more comparison is made after it has reached 0.
std::string TMoFile::Lookup(const std::string& msgid, bool& found) const
{
    found = false;
    if (count_ == 0)
        return msgid;
    std::uint32_t index = startIndex_;
    std::uint32_t step = startStep_;
    for (;;) {
        int order = CompareWithEntry(msgid, index - 1);
        if (order == 0) {
            found = true;
            return EntryText(translationTable_, index - 1);
        }
        if (step == 0)
            return msgid;
        if (order < 0)
            index = index < step + 1 ? 1 : index - step;
        else
            index = std::min(index + step, count_);
        step /= 2;
    }
}

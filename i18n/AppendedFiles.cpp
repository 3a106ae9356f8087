#include "i18n/AppendedFiles.h"

#include "runtime/AsciiText.h"
#include "runtime/Exception.h"
#include "runtime/TFileStream.h"

#include <memory>

// The signature and the 8 bytes behind it, as one object in the constant data
// so that the build tool finds them together. Read through volatile: the
// compiler must not fold the zeros it was built with.
extern const volatile unsigned char skerrowAppendedDirectory[44];
__attribute__((used)) const volatile unsigned char skerrowAppendedDirectory[44] =
    "6637DB2E-62E1-4A60-AC19-C23867046A89\0\0\0\0\0\0\0";

namespace {

std::uint64_t ReadLittleEndian64(const unsigned char* bytes)
{
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

std::uint64_t ReadOffset(TFileStream& file)
{
    unsigned char bytes[8];
    file.ReadBuffer(bytes, 8);
    return ReadLittleEndian64(bytes);
}

// Reads one entry at position; returns false at the end of the directory.
bool ReadEntry(TFileStream& file, std::uint64_t fileSize, std::uint64_t& position, TAppendedFile& entry)
{
    if (position > fileSize - 8)
        throw Exception("directory entry outside the file");
    file.SetPosition(static_cast<std::int64_t>(position));
    std::uint64_t next = ReadOffset(file);
    if (next == 0)
        return false;
    if (next < position + kAppendedEntryFields || next > fileSize ||
        next - position - kAppendedEntryFields > kAppendedNameLimit)
        throw Exception("directory entry out of order");
    std::uint64_t offset = ReadOffset(file);
    std::uint64_t size = ReadOffset(file);
    if (offset > fileSize || size > fileSize - offset)
        throw Exception("appended file outside the file");
    std::string name(next - position - kAppendedEntryFields, '\0');
    file.ReadBuffer(name.data(), static_cast<std::int64_t>(name.size()));
    entry = {AsciiText::Trim(name), {static_cast<std::int64_t>(offset), static_cast<std::int64_t>(size)}};
    position = next;
    return true;
}

} // namespace

std::uint64_t AppendedDirectoryOffset()
{
    unsigned char bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = skerrowAppendedDirectory[kAppendedFilesSignatureLength + i];
    return ReadLittleEndian64(bytes);
}

std::vector<TAppendedFile> ScanAppendedFiles(const std::string& fileName, std::uint64_t directoryOffset)
{
    std::vector<TAppendedFile> files;
    if (directoryOffset == 0)
        return files;
    try {
        TFileStream file(fileName, fmOpenRead);
        auto fileSize = static_cast<std::uint64_t>(file.Size());
        if (fileSize < 8)
            return files;
        std::uint64_t position = directoryOffset;
        TAppendedFile entry;
        while (ReadEntry(file, fileSize, position, entry))
            files.push_back(std::move(entry));
    } catch (const Exception&) {
        // A damaged directory ends the scan; what was read stays usable.
    }
    return files;
}

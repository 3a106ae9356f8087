// Appends files to a built executable so that they travel inside it:
//
//     append-files EXECUTABLE NAME=FILE [NAME=FILE ...]
//
// The contents come first, then one 256-byte directory entry per file
// (next-entry offset, content offset, content size, all 64-bit little-endian,
// then the name padded with blanks) and an 8-byte zero that ends the
// directory at the very end of the file. The offset of the first entry is
// written into the 8 bytes behind the signature in the program's constant
// data. An executable that already carries files is refused.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const std::string kSignature = std::string("6637DB2E-62E1-4A60") + "-AC19-C23867046A89";
constexpr std::size_t kEntrySize = 256;
constexpr std::size_t kEntryFields = 24;

struct TAppended {
    std::string name;
    std::string content;
    std::uint64_t offset = 0;
};

std::string ReadWholeFile(const std::string& fileName)
{
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " + fileName);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteWholeFile(const std::string& fileName, const std::string& bytes)
{
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + fileName);
}

std::string LittleEndian64(std::uint64_t value)
{
    std::string bytes(8, '\0');
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

TAppended ParseArgument(const std::string& argument)
{
    std::size_t equals = argument.find('=');
    if (equals == std::string::npos || equals == 0)
        throw std::runtime_error("expected NAME=FILE, got " + argument);
    TAppended file{argument.substr(0, equals), ReadWholeFile(argument.substr(equals + 1))};
    if (file.name.size() > kEntrySize - kEntryFields)
        throw std::runtime_error("name too long: " + file.name);
    return file;
}

// The position of the 8 offset bytes behind the one signature in the file.
std::size_t OffsetSlot(const std::string& executable)
{
    std::size_t at = executable.find(kSignature);
    if (at == std::string::npos)
        throw std::runtime_error("the signature is not in the executable");
    if (executable.find(kSignature, at + 1) != std::string::npos)
        throw std::runtime_error("the signature is in the executable more than once");
    std::size_t slot = at + kSignature.size();
    if (slot + 8 > executable.size())
        throw std::runtime_error("the signature ends the executable");
    if (executable.compare(slot, 8, std::string(8, '\0')) != 0)
        throw std::runtime_error("files are already appended to the executable");
    return slot;
}

std::string DirectoryEntry(const TAppended& file, std::uint64_t position)
{
    std::string name = file.name;
    name.resize(kEntrySize - kEntryFields, ' ');
    return LittleEndian64(position + kEntrySize) + LittleEndian64(file.offset) + LittleEndian64(file.content.size()) +
        name;
}

void Append(const std::string& executableName, std::vector<TAppended> files)
{
    std::string executable = ReadWholeFile(executableName);
    std::size_t slot = OffsetSlot(executable);
    for (TAppended& file : files) {
        file.offset = executable.size();
        executable += file.content;
    }
    std::uint64_t directory = executable.size();
    for (const TAppended& file : files)
        executable += DirectoryEntry(file, executable.size());
    executable += LittleEndian64(0);
    executable.replace(slot, 8, LittleEndian64(directory));
    WriteWholeFile(executableName, executable);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s EXECUTABLE NAME=FILE [NAME=FILE ...]\n", argv[0]);
        return 2;
    }
    try {
        std::vector<TAppended> files;
        for (int i = 2; i < argc; ++i)
            files.push_back(ParseArgument(argv[i]));
        Append(argv[1], std::move(files));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
    return 0;
}

#include "app/BatchFile.h"

#include "app/ProgramText.h"
#include "runtime/AsciiText.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

namespace {

constexpr std::size_t kMaxListBytes = 16 * 1024 * 1024;
constexpr std::size_t kMaxLineBytes = 16 * 1024;
constexpr std::size_t kMaxAddresses = 10000;

// The whole list, or its first bytes beyond the limit; nothing when reading
// failed.
std::optional<std::string> ReadBounded(std::istream& in)
{
    std::string bytes;
    char piece[64 * 1024];
    while (bytes.size() <= kMaxListBytes && in.read(piece, sizeof piece).gcount() > 0)
        bytes.append(piece, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        return std::nullopt;
    return bytes;
}

} // namespace

std::optional<std::vector<std::string>> ReadBatchList(std::istream& in, const std::string& shownName,
                                                      std::string& error)
{
    std::optional<std::string> bytes = ReadBounded(in);
    if (!bytes) {
        error = Tr("%s cannot be read: %s", {shownName, std::strerror(errno)});
        return std::nullopt;
    }
    if (bytes->size() > kMaxListBytes) {
        error = Tr("%s is too large for a list of addresses", {shownName});
        return std::nullopt;
    }
    std::string_view rest = *bytes;
    if (rest.starts_with("\xEF\xBB\xBF"))
        rest.remove_prefix(3);
    std::vector<std::string> addresses;
    for (std::size_t number = 1; !rest.empty(); ++number) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (line.size() > kMaxLineBytes) {
            error = Tr("line %s of %s is too long for an address", {std::to_string(number), shownName});
            return std::nullopt;
        }
        std::string address = AsciiText::Trim(line);
        if (address.empty() || address.front() == '#')
            continue;
        if (addresses.size() == kMaxAddresses) {
            error = Tr("%s lists more than %s addresses", {shownName, std::to_string(kMaxAddresses)});
            return std::nullopt;
        }
        addresses.push_back(std::move(address));
    }
    return addresses;
}

std::optional<std::vector<std::string>> ReadBatchFile(const std::string& name, std::string& error)
{
    if (name == "-")
        return ReadBatchList(std::cin, Tr("standard input"), error);
    std::ifstream file(name, std::ios::binary);
    if (!file.is_open()) {
        error = Tr("%s cannot be read: %s", {name, std::strerror(errno)});
        return std::nullopt;
    }
    return ReadBatchList(file, name, error);
}

#include "stream/HlsAttributes.h"

#include "runtime/AsciiText.h"
#include "stream/StreamNumbers.h"

namespace {

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace

THlsAttributes::THlsAttributes(const THlsLine& tag) : tag_(tag)
{
    std::string_view rest = tag.TagValue();
    while (!TrimBlanks(rest).empty()) {
        const std::size_t equals = rest.find('=');
        if (equals == std::string_view::npos)
            tag.FailValue(tag.TagName(), tag.TagValue());
        const std::string_view name = TrimBlanks(rest.substr(0, equals));
        if (name.empty())
            tag.FailValue(tag.TagName(), tag.TagValue());
        rest = TrimBlanks(rest.substr(equals + 1));
        std::string_view value;
        if (rest.starts_with('"')) {
            const std::size_t close = rest.find('"', 1);
            if (close == std::string_view::npos)
                tag.FailValue(tag.TagName(), tag.TagValue());
            value = rest.substr(1, close - 1);
            rest = TrimBlanks(rest.substr(close + 1));
            if (!rest.empty() && rest.front() != ',')
                tag.FailValue(tag.TagName(), tag.TagValue());
        } else {
            value = TrimBlanks(rest.substr(0, rest.find(',')));
            rest.remove_prefix(std::min(rest.find(','), rest.size()));
        }
        if (!rest.empty())
            rest.remove_prefix(1); // the comma
        if (!Find(name))
            pairs_.emplace_back(name, value);
    }
}

const std::string_view* THlsAttributes::Find(std::string_view name) const
{
    for (const auto& [key, value] : pairs_)
        if (key == name)
            return &value;
    return nullptr;
}

std::string THlsAttributes::Text(std::string_view name) const
{
    const std::string_view* value = Find(name);
    return value ? std::string(*value) : std::string();
}

std::optional<std::uint64_t> THlsAttributes::Whole(std::string_view name) const
{
    const std::string_view* value = Find(name);
    if (!value)
        return std::nullopt;
    std::optional<std::uint64_t> number = ParseWholeNumber(*value);
    if (!number)
        tag_.FailValue(name, *value);
    return number;
}

std::optional<std::pair<int, int>> THlsAttributes::Resolution(std::string_view name) const
{
    const std::string_view* value = Find(name);
    if (!value)
        return std::nullopt;
    constexpr std::uint64_t kLargest = 65535;
    const std::size_t x = value->find_first_of("xX");
    std::optional<std::uint64_t> width = AsciiText::ParseUnsigned(value->substr(0, x));
    std::optional<std::uint64_t> height =
        x == std::string_view::npos ? std::nullopt : AsciiText::ParseUnsigned(value->substr(x + 1));
    if (!width || !height || *width == 0 || *height == 0 || *width > kLargest || *height > kLargest)
        tag_.FailValue(name, *value);
    return std::pair(static_cast<int>(*width), static_cast<int>(*height));
}

std::optional<std::array<unsigned char, 16>> THlsAttributes::Hex128(std::string_view name) const
{
    const std::string_view* value = Find(name);
    if (!value)
        return std::nullopt;
    std::string_view digits = *value;
    if (!AsciiText::StartsWithText(digits, "0x") || digits.size() == 2 || digits.size() > 34)
        tag_.FailValue(name, *value);
    digits.remove_prefix(2);
    // Right-aligned: "0x1" is the number one, as the IV of sequence 1 is.
    std::array<unsigned char, 16> bytes{};
    std::size_t position = 32 - digits.size();
    for (char c : digits) {
        const int digit = AsciiText::HexDigitValue(c);
        if (digit < 0)
            tag_.FailValue(name, *value);
        bytes[position / 2] |= static_cast<unsigned char>(position % 2 ? digit : digit << 4);
        ++position;
    }
    return bytes;
}

#include "page/SourceHeight.h"

#include "runtime/AsciiText.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

const int kTallestHeight = 100000;

bool IsDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// The number that text starts with, within the bounds of a height.
std::optional<int> LeadingHeight(std::string_view text)
{
    std::size_t digits = 0;
    while (digits < text.size() && IsDigit(text[digits]))
        ++digits;
    if (digits == 0 || digits > 6)
        return std::nullopt;
    int height = std::stoi(std::string(text.substr(0, digits)));
    if (height <= 0 || height > kTallestHeight)
        return std::nullopt;
    return height;
}

// "720" or "720p" and nothing else.
std::optional<int> PlainHeight(std::string_view value)
{
    std::string text = AsciiText::LowerCase(AsciiText::Trim(value));
    if (text.ends_with('p'))
        text.pop_back();
    if (text.empty() || !std::all_of(text.begin(), text.end(), IsDigit))
        return std::nullopt;
    return LeadingHeight(text);
}

// A number with a "p" right after it, anywhere in a label ("HD 1080p").
std::optional<int> LabelHeight(std::string_view label)
{
    if (std::optional<int> plain = PlainHeight(label))
        return plain;
    for (std::size_t i = 0; i < label.size(); ++i) {
        if (!IsDigit(label[i]) || (i > 0 && IsDigit(label[i - 1])))
            continue;
        std::size_t end = i;
        while (end < label.size() && IsDigit(label[end]))
            ++end;
        if (end < label.size() && (label[end] == 'p' || label[end] == 'P'))
            return LeadingHeight(label.substr(i));
    }
    return std::nullopt;
}

// The number after "height:" in a media query ("(min-height: 720px)").
std::optional<int> MediaHeight(std::string_view media)
{
    const std::string lower = AsciiText::LowerCase(media);
    for (std::size_t at = lower.find("height"); at != std::string::npos; at = lower.find("height", at + 1)) {
        std::size_t value = lower.find_first_not_of(" \t", at + 6);
        if (value == std::string::npos || lower[value] != ':')
            continue;
        value = lower.find_first_not_of(" \t", value + 1);
        if (value != std::string::npos)
            if (std::optional<int> height = LeadingHeight(std::string_view(lower).substr(value)))
                return height;
    }
    return std::nullopt;
}

} // namespace

std::optional<int> SourceHeight(const THtmlAttributes& source)
{
    for (std::string_view name : {"size", "res", "data-res"})
        if (std::optional<int> height = PlainHeight(AttributeOf(source, name)))
            return height;
    if (std::optional<int> height = LabelHeight(AttributeOf(source, "label")))
        return height;
    return MediaHeight(AttributeOf(source, "media"));
}

#include "i18n/Utf8.h"

#include "runtime/Exception.h"

#include <cstdint>

namespace {

const char* const kInvalidSequence = "Invalid byte sequence encountered in utf-8 string";
const char* const kTooLarge = "Utf-8 string contained unicode character larger than $FFFF. This is not supported.";
const char* const kTruncated = "Utf-8 string terminated unexpectedly in the middle of a multibyte sequence";

// The length of the sequence that a lead byte opens; 0 for a byte that
// cannot start one (a continuation byte, 0xFE, 0xFF).
int SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead < 0xC0)
        return 0;
    if (lead < 0xE0)
        return 2;
    if (lead < 0xF0)
        return 3;
    if (lead < 0xF8)
        return 4;
    if (lead < 0xFC)
        return 5;
    if (lead < 0xFE)
        return 6;
    return 0;
}

unsigned char LeadBits(unsigned char lead, int length)
{
    return length == 1 ? lead : static_cast<unsigned char>(lead & (0x7F >> length));
}

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

enum TSequenceStatus { ssComplete, ssInvalid, ssTruncated };

// Reads the sequence that starts at bytes[at] into value and length.
TSequenceStatus ReadSequence(const std::string& bytes, std::size_t at, std::uint32_t& value, int& length)
{
    auto lead = static_cast<unsigned char>(bytes[at]);
    length = SequenceLength(lead);
    if (length == 0)
        return ssInvalid;
    value = LeadBits(lead, length);
    for (int k = 1; k < length; ++k) {
        if (at + k >= bytes.size())
            return ssTruncated;
        auto next = static_cast<unsigned char>(bytes[at + k]);
        if (!IsContinuation(next))
            return ssInvalid;
        value = (value << 6) | (next & 0x3F);
    }
    return ssComplete;
}

void AppendUtf16(std::u16string& text, std::uint32_t value)
{
    if (value > 0xFFFF) {
        value -= 0x10000;
        text += static_cast<char16_t>(0xD800 + (value >> 10));
        text += static_cast<char16_t>(0xDC00 + (value & 0x3FF));
    } else {
        text += static_cast<char16_t>(value);
    }
}

enum TDecodeMode { dmStrict, dmLenient };

// Strict: 16-bit values only, bad input raises. Lenient: characters above
// 0xFFFF become surrogate pairs, a byte that does not decode becomes U+FFFD.
std::u16string Decode(const std::string& bytes, TDecodeMode mode)
{
    std::u16string text;
    text.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::uint32_t value = 0;
        int length = 0;
        TSequenceStatus status = ReadSequence(bytes, i, value, length);
        if (mode == dmStrict) {
            if (status != ssComplete)
                throw Exception(status == ssInvalid ? kInvalidSequence : kTruncated);
            if (value > 0xFFFF)
                throw Exception(kTooLarge);
        } else if (status != ssComplete || length > 4 || value > 0x10FFFF) {
            text += u'\uFFFD';
            i += 1;
            continue;
        }
        AppendUtf16(text, value);
        i += length;
    }
    return text;
}

} // namespace

std::string Utf8Encode(const std::u16string& text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (char16_t unit : text) {
        if (unit < 0x80) {
            bytes += static_cast<char>(unit);
        } else if (unit < 0x800) {
            bytes += static_cast<char>(0xC0 | (unit >> 6));
            bytes += static_cast<char>(0x80 | (unit & 0x3F));
        } else {
            bytes += static_cast<char>(0xE0 | (unit >> 12));
            bytes += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (unit & 0x3F));
        }
    }
    return bytes;
}

std::u16string Utf8Decode(const std::string& bytes)
{
    return Decode(bytes, dmStrict);
}

std::u16string AnsiToWide(const std::string& bytes)
{
    return Decode(bytes, dmLenient);
}

std::string WideToAnsi(const std::u16string& text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t unit = text[i];
        bool pair =
            unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
        if (!pair) {
            bytes += Utf8Encode(std::u16string(1, unit));
            continue;
        }
        std::uint32_t value = 0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00);
        bytes += static_cast<char>(0xF0 | (value >> 18));
        bytes += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
        bytes += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (value & 0x3F));
    }
    return bytes;
}

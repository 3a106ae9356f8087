#include "runtime/Utf8Text.h"

namespace {

// What a lead byte opens: how many bytes follow (none for a byte that
// opens nothing), its bits of the value, and the range of the byte after
// it.
struct TLead {
    std::size_t Following = 0;
    char32_t Bits = 0;
    unsigned char Lower = 0x80;
    unsigned char Upper = 0xBF;
};

TLead LeadOf(unsigned char byte)
{
    TLead lead;
    if (byte >= 0xC2 && byte <= 0xDF)
        lead = {1, char32_t(byte & 0x1F)};
    else if (byte >= 0xE0 && byte <= 0xEF)
        lead = {2, char32_t(byte & 0x0F)};
    else if (byte >= 0xF0 && byte <= 0xF4)
        lead = {3, char32_t(byte & 0x07)};
    // The second byte tells these apart from forms that are not allowed.
    if (byte == 0xE0)
        lead.Lower = 0xA0; // overlong
    if (byte == 0xED)
        lead.Upper = 0x9F; // a surrogate
    if (byte == 0xF0)
        lead.Lower = 0x90; // overlong
    if (byte == 0xF4)
        lead.Upper = 0x8F; // above U+10FFFF
    return lead;
}

} // namespace

TUtf8Character ReadUtf8Character(std::string_view bytes, std::size_t at)
{
    const auto first = static_cast<unsigned char>(bytes[at]);
    if (first < 0x80)
        return {first, 1, true};
    TLead lead = LeadOf(first);
    if (lead.Following == 0)
        return {kReplacementCharacter, 1, false};
    char32_t code = lead.Bits;
    for (std::size_t taken = 1; taken <= lead.Following; ++taken) {
        if (at + taken == bytes.size())
            return {kReplacementCharacter, taken, false};
        const auto next = static_cast<unsigned char>(bytes[at + taken]);
        // The byte that breaks the sequence starts the next character.
        if (next < lead.Lower || next > lead.Upper)
            return {kReplacementCharacter, taken, false};
        lead.Lower = 0x80;
        lead.Upper = 0xBF;
        code = (code << 6) | (next & 0x3F);
    }
    return {code, lead.Following + 1, true};
}

std::string ValidUtf8(std::string_view bytes)
{
    std::string valid;
    valid.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        TUtf8Character character = ReadUtf8Character(bytes, at);
        if (character.WellFormed)
            valid.append(bytes.substr(at, character.Length));
        else
            valid += "\xEF\xBF\xBD";
        at += character.Length;
    }
    return valid;
}

#include "app/SafeFileName.h"

#include "runtime/Utf8Text.h"

#include <string_view>

// ".webm" is the longest extension a proposed name can have; the part's
// names fit whatever the target's length.
const std::size_t kMaxTitleBytes = 255 - std::string_view(".webm").size();

namespace {

// Unicode's blanks (its White_Space characters).
bool IsBlank(char32_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
        (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

// The invisible marks that turn the direction of what follows: a name
// holding one reads otherwise than it is ("clip\u202E4pm.exe" shows as
// "clipexe.mp4").
bool IsBidiControl(char32_t c)
{
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

bool IsControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

bool IsUnsafe(char32_t c)
{
    return IsControl(c) || (c < 0x80 && std::string_view(":;/\\$%*&'\",.+?!|").find(char(c)) != std::string_view::npos);
}

// The start of the character of valid text that holds the byte at.
std::size_t CharacterStart(std::string_view valid, std::size_t at)
{
    // UTF-8 continuation bytes are 10xxxxxx.
    while (at > 0 && (static_cast<unsigned char>(valid[at]) & 0xC0) == 0x80)
        --at;
    return at;
}

std::string_view TrimBlanks(std::string_view valid)
{
    while (!valid.empty()) {
        TUtf8Character first = ReadUtf8Character(valid, 0);
        if (!IsBlank(first.Code))
            break;
        valid.remove_prefix(first.Length);
    }
    while (!valid.empty()) {
        std::size_t last = CharacterStart(valid, valid.size() - 1);
        if (!IsBlank(ReadUtf8Character(valid, last).Code))
            break;
        valid.remove_suffix(valid.size() - last);
    }
    return valid;
}

// Calls visit with each character of valid text and its bytes.
template <typename Visit>
void ForEachCharacter(std::string_view valid, Visit visit)
{
    for (std::size_t at = 0; at < valid.size();) {
        TUtf8Character character = ReadUtf8Character(valid, at);
        visit(character.Code, valid.substr(at, character.Length));
        at += character.Length;
    }
}

std::string WithoutBidiControls(std::string_view valid)
{
    std::string kept;
    ForEachCharacter(valid, [&kept](char32_t c, std::string_view bytes) {
        if (!IsBidiControl(c))
            kept += bytes;
    });
    return kept;
}

std::string WithUnsafeCharactersReplaced(std::string_view valid)
{
    std::string safe;
    ForEachCharacter(valid, [&safe](char32_t c, std::string_view bytes) {
        if (IsUnsafe(c))
            safe += '_';
        else
            safe += bytes;
    });
    return safe;
}

// At most limit bytes of valid text, never half a character.
std::string_view CutAtCharacter(std::string_view valid, std::size_t limit)
{
    return valid.size() <= limit ? valid : valid.substr(0, CharacterStart(valid, limit));
}

// Nothing but "_" and blanks: nothing is left of the title.
bool Nameless(std::string_view valid)
{
    bool nameless = true;
    ForEachCharacter(valid, [&nameless](char32_t c, std::string_view) { nameless &= c == '_' || IsBlank(c); });
    return nameless;
}

} // namespace

std::string ReplaceCharacters(const std::string& text, const std::string& set, char replacement)
{
    std::string replaced = text;
    for (char& c : replaced)
        if (set.find(c) != std::string::npos)
            c = replacement;
    return replaced;
}

std::string SafeFileName(const std::string& title)
{
    const std::string text = WithoutBidiControls(ReplaceCharacters(ValidUtf8(title), "+", ' '));
    std::string name = WithUnsafeCharactersReplaced(TrimBlanks(text));
    // A name that begins with "-" is taken for an option by many commands.
    if (!name.empty() && name[0] == '-')
        name[0] = '_';
    name = std::string(TrimBlanks(CutAtCharacter(name, kMaxTitleBytes)));
    return Nameless(name) ? "video" : name;
}

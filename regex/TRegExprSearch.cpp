// The search half of TRegExpr: storing the subject and choosing where to try.
#include "regex/TRegExpr.h"

#include "regex/RegExprProgram.h"

#include <algorithm>
#include <cstring>

using namespace regexpr;

namespace {

// First-character sets this small are searched with one memchr per member in
// subjects this long; shorter ones are done sooner by one strcspn.
constexpr size_t kMemchrFirstChars = 3;
constexpr ptrdiff_t kMemchrMinLength = 256;

} // namespace

bool TRegExpr::Exec(const std::string& text)
{
    CopySubject(text);
    hasInput_ = true;
    return ExecPos(1);
}

// Copies the text up to its first zero character. Each chunk is scanned for
// the zero and then copied while it is still in the cache, so long texts
// are read from memory once.
void TRegExpr::CopySubject(const std::string& text)
{
    constexpr size_t kChunk = 64 * 1024;
    input_.resize(text.size());
    size_t copied = 0;
    while (copied < text.size()) {
        const size_t chunk = std::min(kChunk, text.size() - copied);
        const void* zero = std::memchr(text.data() + copied, 0, chunk);
        const size_t length = zero ? size_t(static_cast<const char*>(zero) - text.data()) - copied : chunk;
        std::memcpy(input_.data() + copied, text.data() + copied, length);
        copied += length;
        if (zero)
            break;
    }
    input_.resize(copied);
}

bool TRegExpr::Exec(std::string&& text)
{
    input_ = std::move(text);
    input_.resize(std::strlen(input_.c_str()));
    hasInput_ = true;
    return ExecPos(1);
}

bool TRegExpr::ExecPos(int offset)
{
    matcher_.ClearGroups();
    PrepareProgram();
    if (!hasInput_)
        RaiseError(reeNoInputString);
    if (offset <= 0)
        RaiseError(reeOffsetNotPositive);
    if (size_t(offset) > input_.size() + 1)
        return false;
    const char* start = input_.data() + offset - 1;
    if (RequiredLiteralAbsent(start))
        return false;
    matcher_.SetSubject(input_.data(), input_.data() + input_.size());
    return SearchFrom(start);
}

// Recompiles when the modifiers changed since the program was built.
void TRegExpr::PrepareProgram()
{
    if (modifiers_ != programModifiers_)
        DiscardProgram();
    if (program_.empty())
        Compile();
    if (program_[0] != kCheckByte)
        RaiseError(reeCorruptedProgram);
}

bool TRegExpr::RequiredLiteralAbsent(const char* from) const
{
    const std::string_view literal = hints_.requiredLiteral;
    if (literal.empty())
        return false;
    const char* end = input_.data() + input_.size();
    return memmem(from, size_t(end - from), literal.data(), literal.size()) == nullptr;
}

// Tries start positions from `start` on; the leftmost match wins.
bool TRegExpr::SearchFrom(const char* start)
{
    const uint8_t* program = program_.data();
    if (hints_.anchored)
        return matcher_.TryAt(program, start);
    if (hints_.startChar == 0)
        return SearchByFirstChars(start);
    const char* end = input_.data() + input_.size();
    for (const char* at = start; (at = static_cast<const char*>(std::memchr(at, hints_.startChar, size_t(end - at))));
         ++at) {
        if (matcher_.TryAt(program, at))
            return true;
    }
    return false;
}

// Every position up to and including the subject end whose character (0 at
// the end) may begin a match. A short list of first characters is jumped
// between; otherwise every position is tested against the set.
bool TRegExpr::SearchByFirstChars(const char* start)
{
    const char* end = input_.data() + input_.size();
    const std::string& list = hints_.firstCharList;
    if (list.empty()) {
        for (const char* at = start;; ++at) {
            if (hints_.firstChars.Has(static_cast<uint8_t>(*at)) && matcher_.TryAt(program_.data(), at))
                return true;
            if (at == end)
                return false;
        }
    }
    const bool found = list.size() <= kMemchrFirstChars && end - start >= kMemchrMinLength
        ? SearchByMemchr(start, list)
        : SearchByStrcspn(start, list);
    return found || (hints_.firstChars.Has(0) && matcher_.TryAt(program_.data(), end));
}

// Keeps the next occurrence of each character, each found by its own memchr.
bool TRegExpr::SearchByMemchr(const char* start, const std::string& list)
{
    const char* end = input_.data() + input_.size();
    auto find = [end](const char* from, char c) {
        const void* found = std::memchr(from, c, size_t(end - from));
        return found ? static_cast<const char*>(found) : end;
    };
    const char* next[kMemchrFirstChars];
    for (size_t i = 0; i < list.size(); ++i)
        next[i] = find(start, list[i]);
    for (;;) {
        const char* at = *std::min_element(next, next + list.size());
        if (at == end)
            return false;
        if (matcher_.TryAt(program_.data(), at))
            return true;
        for (size_t i = 0; i < list.size(); ++i) {
            if (next[i] == at)
                next[i] = find(at + 1, list[i]);
        }
    }
}

// The subject is zero-terminated, so strcspn stops at its end.
bool TRegExpr::SearchByStrcspn(const char* start, const std::string& list)
{
    const char* end = input_.data() + input_.size();
    for (const char* at = start + std::strcspn(start, list.c_str()); at != end;
         at += 1 + std::strcspn(at + 1, list.c_str())) {
        if (matcher_.TryAt(program_.data(), at))
            return true;
    }
    return false;
}

std::string TRegExpr::Capture(int n) const
{
    if (n < 0 || n >= kGroupSlots || !hasInput_)
        return {};
    const char* start = matcher_.GroupStart(n);
    const char* end = matcher_.GroupEnd(n);
    if (!start || !end || end <= start)
        return {};
    return std::string(start, end);
}

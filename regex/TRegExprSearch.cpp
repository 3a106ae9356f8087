// The search half of TRegExpr: storing the subject and choosing where to try.
#include "regex/TRegExpr.h"

#include "regex/RegExprProgram.h"

#include <cstring>

using namespace regexpr;

bool TRegExpr::Exec(const std::string& text)
{
    matcher_.ClearGroups();
    const void* zero = std::memchr(text.data(), 0, text.size());
    const size_t length = zero ? size_t(static_cast<const char*>(zero) - text.data()) : text.size();
    input_.assign(text.data(), length);
    hasInput_ = true;
    return ExecPos(1);
}

bool TRegExpr::Exec(std::string&& text)
{
    matcher_.ClearGroups();
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
        RaiseError(1005);
    if (offset <= 0)
        RaiseError(1006);
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
    settings_.lineSeparatorSet = ByteSet();
    settings_.lineSeparatorSet.AddChars(settings_.lineSeparatorChars);
    if (program_.empty())
        Compile();
    if (program_[0] != kCheckByte)
        RaiseError(1004);
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
    for (const char* at = start;
         (at = static_cast<const char*>(std::memchr(at, hints_.startChar, size_t(end - at))));
         ++at) {
        if (matcher_.TryAt(program, at))
            return true;
    }
    return false;
}

// Every position up to and including the subject end whose character (0 at
// the end) may begin a match. A set of one character is found with memchr.
bool TRegExpr::SearchByFirstChars(const char* start)
{
    const uint8_t* program = program_.data();
    const ByteSet& first = hints_.firstChars;
    const char* end = input_.data() + input_.size();
    const int members = first.Count() - (first.Has(0) ? 1 : 0);
    if (members == 1) {
        int only = 1;
        while (!first.Has(uint8_t(only)))
            ++only;
        for (const char* at = start; (at = static_cast<const char*>(std::memchr(at, only, size_t(end - at))));
             ++at) {
            if (matcher_.TryAt(program, at))
                return true;
        }
        return first.Has(0) && matcher_.TryAt(program, end);
    }
    for (const char* at = start;; ++at) {
        if (first.Has(static_cast<uint8_t>(*at)) && matcher_.TryAt(program, at))
            return true;
        if (at == end)
            return false;
    }
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

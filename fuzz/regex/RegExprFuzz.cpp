// Input: one byte of modifier bits (i r s g m x, then one bit that drops the
// paired line separator), one byte of pattern length, the pattern, and the
// subject. Compile and search errors are expected; anything else escaping,
// a crash or a sanitizer report is a fault.
#include "regex/TRegExpr.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

constexpr size_t kMaxPattern = 96;
constexpr size_t kMaxSubject = 48; // keeps exponential backtracking short

void Search(TRegExpr& re, const std::string& subject)
{
    if (!re.Exec(subject))
        return;
    const std::string whole = re.Capture(0);
    if (whole.size() > subject.size() || subject.find(whole) == std::string::npos)
        __builtin_trap();
    for (int n = -1; n <= 15; ++n)
        re.Capture(n);
    for (int offset = 1; offset <= int(subject.size()) + 2; offset += 3)
        re.ExecPos(offset);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const uint8_t modifiers = data[0];
    const size_t patternLength = std::min<size_t>({data[1], size - 2, kMaxPattern});
    const std::string pattern(reinterpret_cast<const char*>(data + 2), patternLength);
    const size_t subjectStart = 2 + patternLength;
    const std::string subject(reinterpret_cast<const char*>(data + subjectStart),
                              std::min(size - subjectStart, kMaxSubject));

    TRegExpr re;
    for (int index = 1; index <= 6; ++index)
        re.SetModifier(index, (modifiers >> (index - 1)) & 1);
    if (modifiers & 64)
        re.SetLinePairedSeparator("");
    re.SetExpression(pattern);
    try {
        Search(re, subject);
    } catch (const ERegExpr&) {}
    return 0;
}

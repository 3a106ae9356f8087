// Character classes: "[...]" and the class escapes \s \S \w \W.
#include "regex/RegExprCompiler.h"

#include "regex/RegExprProgram.h"

#include <cstring>

namespace regexpr {

namespace {

// Code page 1251: the Cyrillic letters outside the contiguous blocks.
constexpr uint8_t kSmallYo = 184;
constexpr uint8_t kCapitalYo = 168;
constexpr uint8_t kSmallA = 224;
constexpr uint8_t kSmallYa = 255;
constexpr uint8_t kCapitalA = 192;
constexpr uint8_t kCapitalYa = 223;

constexpr const char* kDigits = "0123456789";

} // namespace

// After '['.
int32_t RegExprCompiler::ParseClass()
{
    ByteSet members;
    bool negated = false;
    if (Peek() == '^') {
        negated = true;
        ++cursor_;
    }
    int rangeStart = -1; // the last member, while it may start a range
    if (Peek() == ']') {
        AddClassMember(members, ']');
        rangeStart = ']';
        ++cursor_;
    }
    for (;;) {
        if (AtEnd())
            Fail(reeUnclosedClass);
        const char c = Peek();
        if (c == ']') {
            ++cursor_;
            break;
        }
        const bool rangeDash = c == '-' && rangeStart >= 0 && cursor_ + 1 < pattern_.size() && Peek(1) != ']';
        if (rangeDash && !(Peek(1) == '\\' && Peek(2) != '\0' && std::strchr("DSWdsw", Peek(2)))) {
            ++cursor_;
            AddClassRange(members, uint8_t(rangeStart), ReadClassChar());
            rangeStart = -1;
            continue;
        }
        if (c == '\\' && (Peek(1) == 'd' || Peek(1) == 's' || Peek(1) == 'w')) {
            const char kind = Peek(1);
            cursor_ += 2;
            AddClassChars(members,
                          kind == 'd'       ? kDigits
                              : kind == 's' ? settings_.spaceClassChars
                                            : settings_.wordClassChars);
            rangeStart = -1;
            continue;
        }
        const uint8_t member = ReadClassChar();
        AddClassMember(members, member);
        rangeStart = member;
    }
    return EmitClass(members, negated);
}

// A plain or escaped class character; inside a class "\D", "\b" and the like
// are just their letters.
uint8_t RegExprCompiler::ReadClassChar()
{
    if (Peek() != '\\')
        return static_cast<uint8_t>(pattern_[cursor_++]);
    ++cursor_;
    if (AtEnd())
        Fail(reeClassTrailingBackslash);
    return ReadEscapedValue();
}

void RegExprCompiler::AddClassMember(ByteSet& members, uint8_t c) const
{
    members.Add(c);
    if (ModifierOn(kModI))
        members.Add(settings_.caseInverse[c]);
}

void RegExprCompiler::AddClassChars(ByteSet& members, std::string_view chars) const
{
    for (char c : chars)
        AddClassMember(members, static_cast<uint8_t>(c));
}

void RegExprCompiler::AddClassRange(ByteSet& members, uint8_t first, uint8_t last)
{
    auto addSpan = [&](int from, int to) {
        for (int c = from; c <= to; ++c)
            AddClassMember(members, uint8_t(c));
    };
    if (ModifierOn(kModR)) {
        const bool small = first == kSmallA && last == kSmallYa;
        const bool capital = first == kCapitalA && last == kCapitalYa;
        const bool both = first == kSmallA && last == kCapitalYa;
        if (small || both) {
            addSpan(kSmallA, kSmallYa);
            AddClassMember(members, kSmallYo);
        }
        if (capital || both) {
            addSpan(kCapitalA, kCapitalYa);
            AddClassMember(members, kCapitalYo);
        }
        if (both)
            return;
    }
    if (last < first)
        Fail(reeInvalidRange);
    addSpan(first, last);
}

// Up to three distinct members take ONE_OF_3 / NONE_OF_3 (ascending, padded
// with the highest); more take a CHAR_SET bitmap.
int32_t RegExprCompiler::EmitClass(const ByteSet& members, bool negated)
{
    const int count = members.Count();
    if (count >= 1 && count <= 3) {
        const int32_t node = EmitNode(negated ? NONE_OF_3 : ONE_OF_3);
        uint8_t chars[3];
        int found = 0;
        for (int c = 0; c < 256; ++c) {
            if (members.Has(uint8_t(c)))
                chars[found++] = uint8_t(c);
        }
        while (found < 3) {
            chars[found] = chars[found - 1];
            ++found;
        }
        for (uint8_t c : chars)
            EmitByte(c);
        return node;
    }
    // An empty class (only from empty class-character settings) also takes
    // a bitmap: there is no highest member to pad with.
    ByteSet bitmap = members;
    if (negated)
        bitmap.Complement();
    const int32_t node = EmitNode(CHAR_SET);
    for (uint8_t byte : bitmap.bits)
        EmitByte(byte);
    return node;
}

} // namespace regexpr

// Atoms of the pattern grammar: groups, inline modifiers and comments,
// escapes and literal runs.
#include "regex/RegExprCompiler.h"

#include "regex/RegExprProgram.h"
#include "runtime/AsciiText.h"

#include <cstring>

namespace regexpr {

namespace {

constexpr const char* kMetaChars = "^$.[()|?+*\\{";

bool IsMeta(char c)
{
    return c != '\0' && std::strchr(kMetaChars, c) != nullptr;
}
bool IsExtendedSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

int32_t RegExprCompiler::ParseAtom(int& flags)
{
    flags = kWorst;
    const char c = Peek();
    if (ModifierOn(kModX) && IsExtendedSpace(c))
        return SkipExtendedSpace();
    if (ModifierOn(kModX) && c == '#')
        return SkipExtendedComment();

    const bool lineMode = ModifierOn(kModM) && (!settings_.lineSeparatorChars.empty() || settings_.pairedAssigned);
    switch (c) {
    case '^': ++cursor_; return EmitNode(lineMode ? LINE_START : INPUT_START);
    case '$': ++cursor_; return EmitNode(lineMode ? LINE_END : INPUT_END);
    case '.':
        ++cursor_;
        if (ModifierOn(kModS)) {
            flags = kHasWidth | kSimple;
            return EmitNode(ANY_CHAR);
        }
        flags = kHasWidth;
        return EmitNode(ANY_BUT_LINE_BREAK);
    case '[':
        ++cursor_;
        flags = kHasWidth | kSimple;
        return ParseClass();
    case '(': ++cursor_; return ParseParenthesis(flags);
    case '\0':
    case '|':
    case ')': ++cursor_; Fail(reeAtomAtBranchEnd); // the branch parser never lets this happen
    case '?':
    case '+':
    case '*': ++cursor_; Fail(reeRepeatFollowsNothing);
    case '\\':
        ++cursor_;
        if (AtEnd())
            Fail(reeTrailingBackslash);
        return ParseEscape(flags);
    default: return ParseLiteralRun(flags);
    }
}

// After '(': a comment, an inline modifier group or a capturing group.
int32_t RegExprCompiler::ParseParenthesis(int& flags)
{
    if (Peek() == '?') {
        ++cursor_;
        if (Peek() == '#')
            return ParseComment();
        return ParseInlineModifiers();
    }
    int groupFlags;
    const int32_t group = ParseReg(true, groupFlags);
    flags |= groupFlags & (kHasWidth | kStartsWithRepeat);
    return group;
}

int32_t RegExprCompiler::ParseComment()
{
    const size_t close = pattern_.find(')', cursor_);
    if (close == std::string_view::npos) {
        cursor_ = pattern_.size();
        Fail(reeUnclosedComment);
    }
    cursor_ = close + 1;
    return EmitNode(NO_OP);
}

// "(?is-m)": letters switch their bits on, after '-' off, until the group
// (or the pattern) ends.
int32_t RegExprCompiler::ParseInlineModifiers()
{
    bool switchOn = true;
    for (;;) {
        if (AtEnd())
            Fail(reeUnknownModifier);
        const char c = pattern_[cursor_++];
        if (c == ')')
            break;
        if (c == '-') {
            switchOn = false;
            continue;
        }
        const uint32_t bit = ModifierBitOfLetter(c);
        if (bit == 0)
            Fail(reeUnknownModifier);
        if (switchOn)
            compileModifiers_ |= bit;
        else
            compileModifiers_ &= ~bit;
    }
    return EmitNode(NO_OP);
}

int32_t RegExprCompiler::SkipExtendedSpace()
{
    while (IsExtendedSpace(Peek()))
        ++cursor_;
    return EmitNode(NO_OP);
}

int32_t RegExprCompiler::SkipExtendedComment()
{
    while (!AtEnd() && Peek() != '\n' && Peek() != '\r')
        ++cursor_;
    while (Peek() == '\n' || Peek() == '\r')
        ++cursor_;
    return EmitNode(NO_OP);
}

// After '\', outside a class.
int32_t RegExprCompiler::ParseEscape(int& flags)
{
    const char c = Peek();
    flags = kHasWidth | kSimple;
    auto classOf = [&](std::string_view chars, bool negated) {
        ++cursor_;
        ByteSet members;
        members.AddChars(chars);
        return EmitClass(members, negated);
    };
    auto zeroWidth = [&](uint8_t op) {
        ++cursor_;
        flags = kWorst;
        return EmitNode(op);
    };
    switch (c) {
    case 'd': ++cursor_; return EmitNode(DIGIT);
    case 'D': ++cursor_; return EmitNode(NOT_DIGIT);
    case 's':
    case 'S': return classOf(settings_.spaceClassChars, c == 'S');
    case 'w':
    case 'W': return classOf(settings_.wordClassChars, c == 'W');
    case 'b': return zeroWidth(WORD_BOUNDARY);
    case 'B': return zeroWidth(NOT_WORD_BOUNDARY);
    case 'A': return zeroWidth(INPUT_START);
    case 'Z': return zeroWidth(INPUT_END);
    default: break;
    }
    if (c >= '1' && c <= '9') {
        ++cursor_;
        const int32_t node = EmitNode(ModifierOn(kModI) ? BACKREF_CI : BACKREF);
        EmitByte(uint8_t(c - '0'));
        return node;
    }
    const char value = static_cast<char>(ReadEscapedValue());
    return EmitLiteral(std::string_view(&value, 1));
}

// The value of an escaped character, with the cursor on the character after
// the '\'; leaves the cursor after the escape.
uint8_t RegExprCompiler::ReadEscapedValue()
{
    const char c = pattern_[cursor_++];
    switch (c) {
    case 'a': return 7;
    case 'e': return 27;
    case 'f': return 12;
    case 'n': return 10;
    case 'r': return 13;
    case 't': return 9;
    case 'x': return ReadHexValue();
    default: return static_cast<uint8_t>(c);
    }
}

// "\xHH" (exactly two digits) or "\x{H...}".
uint8_t RegExprCompiler::ReadHexValue()
{
    auto nextDigit = [&] {
        if (AtEnd())
            Fail(reeNoHexCode);
        const int digit = AsciiText::HexDigitValue(pattern_[cursor_++]);
        if (digit < 0)
            Fail(reeBadHexDigit);
        return digit;
    };
    if (AtEnd())
        Fail(reeNoHexCode);
    if (Peek() != '{') {
        const int high = nextDigit();
        return uint8_t(high * 16 + nextDigit());
    }
    ++cursor_;
    int value = 0;
    for (;;) {
        if (AtEnd())
            Fail(reeNoHexCode);
        if (Peek() == '}') {
            ++cursor_;
            return uint8_t(value);
        }
        const int digit = nextDigit();
        if (value >= 16)
            Fail(reeHexCodeTooBig);
        value = value * 16 + digit;
    }
}

// The longest stretch without metacharacters; before a quantifier it keeps
// its last character back, so that the quantifier applies to one character.
int32_t RegExprCompiler::ParseLiteralRun(int& flags)
{
    const bool extended = ModifierOn(kModX);
    const size_t start = cursor_;
    if (IsMeta(Peek()) && Peek() != '{')
        Fail(reeMisplacedMetaCharacter);
    size_t end = start + 1;
    while (end < pattern_.size() && !IsMeta(pattern_[end]) && !(extended && pattern_[end] == '#'))
        ++end;
    if (end - start > 1 && end < pattern_.size() && IsQuantifierStart(pattern_[end]))
        --end;
    cursor_ = end;

    std::string chars;
    for (size_t at = start; at < end; ++at) {
        if (!(extended && IsExtendedSpace(pattern_[at])))
            chars += pattern_[at];
    }
    flags = kHasWidth | (chars.size() == 1 ? kSimple : kWorst);
    return EmitLiteral(chars);
}

int32_t RegExprCompiler::EmitLiteral(std::string_view chars)
{
    const int32_t node = EmitNode(ModifierOn(kModI) ? LITERAL_CI : LITERAL);
    for (char c : chars)
        EmitByte(static_cast<uint8_t>(c));
    EmitByte(0);
    return node;
}

} // namespace regexpr

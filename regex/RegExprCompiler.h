#pragma once

#include "regex/ByteSet.h"
#include "regex/RegExprSettings.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace regexpr {

// Flags that travel with every parsed item; none of them is the worst case.
enum ParseFlag : int {
    kWorst = 0,
    kHasWidth = 1,         // never matches the empty string
    kSimple = 2,           // always exactly one character: repeats are counted
    kStartsWithRepeat = 4, // begins with a '*' or '+' repeat
};

struct CompiledPattern {
    std::vector<uint8_t> program;
    int flags = kWorst;
};

// Whether c begins a repeat: "*", "+", "?" or "{".
inline bool IsQuantifierStart(char c)
{
    return c == '*' || c == '+' || c == '?' || c == '{';
}

// Turns a pattern into p-code in two passes over the same parser: the first
// only adds up the program size, the second writes into a block allocated
// once at exactly that size.
class RegExprCompiler {
public:
    // Longer patterns raise error 129; this keeps the program size, which
    // grows by a few dozen bytes per pattern character at most, far inside
    // its 32 bits.
    static constexpr size_t kMaxPatternLength = size_t(1) << 24;

    RegExprCompiler(const Settings& settings, ErrorRaiser raise);

    CompiledPattern Compile(std::string_view pattern, uint32_t modifiers);

    // Pattern characters before the parse cursor, for error positions.
    int Position() const { return static_cast<int>(cursor_); }

private:
    void StartPass(uint32_t modifiers);
    [[noreturn]] void Fail(int number);

    // Grammar, top down.
    int32_t ParseReg(bool group, int& flags);
    int32_t ParseBranch(int& flags);
    int32_t ParsePiece(int& flags);
    bool ParseBraces(int32_t& min, int32_t& max);
    int32_t ReadBraceNumber();
    bool TakeNonGreedyMark();
    void LowerGreedyStar(int32_t atom);
    void LowerGreedyPlus(int32_t atom);
    void LowerOptional(int32_t atom);
    void LowerCountedLoop(int32_t atom, int32_t min, int32_t max, uint8_t loopOp);
    void InsertBraces(uint8_t op, int32_t atom, int32_t min, int32_t max);

    // Atoms.
    int32_t ParseAtom(int& flags);
    int32_t ParseParenthesis(int& flags);
    int32_t ParseComment();
    int32_t ParseInlineModifiers();
    int32_t SkipExtendedSpace();
    int32_t SkipExtendedComment();
    int32_t ParseEscape(int& flags);
    int32_t ParseLiteralRun(int& flags);
    int32_t EmitLiteral(std::string_view chars);
    uint8_t ReadEscapedValue();
    uint8_t ReadHexValue();

    // Classes.
    int32_t ParseClass();
    uint8_t ReadClassChar();
    void AddClassMember(ByteSet& members, uint8_t c) const;
    void AddClassChars(ByteSet& members, std::string_view chars) const;
    void AddClassRange(ByteSet& members, uint8_t first, uint8_t last);
    int32_t EmitClass(const ByteSet& members, bool negated);

    // Emission; in the size pass these only count bytes.
    int32_t EmitNode(uint8_t op);
    void EmitByte(uint8_t value);
    void EmitInt32(int32_t value);
    void InsertNode(uint8_t op, int32_t at, int size);
    void Link(int32_t from, int32_t to);
    void LinkOperand(int32_t node, int32_t to);

    char Peek(size_t ahead = 0) const;
    bool AtEnd() const { return cursor_ >= pattern_.size(); }
    bool ModifierOn(uint32_t bit) const { return (compileModifiers_ & bit) != 0; }

    const Settings& settings_;
    ErrorRaiser raise_;
    std::string_view pattern_;
    size_t cursor_ = 0;
    int groupCount_ = 1;
    uint32_t compileModifiers_ = 0;
    bool sizing_ = false;
    int32_t programSize_ = 0;
    std::vector<uint8_t> code_;
    int32_t emit_ = 0;
};

} // namespace regexpr

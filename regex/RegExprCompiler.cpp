#include "regex/RegExprCompiler.h"

#include "regex/RegExprProgram.h"
#include "runtime/Exception.h"

#include <cstring>
#include <stdexcept>

namespace regexpr {

RegExprCompiler::RegExprCompiler(const Settings& settings, ErrorRaiser raise)
    : settings_(settings), raise_(std::move(raise))
{}

CompiledPattern RegExprCompiler::Compile(std::string_view pattern, uint32_t modifiers)
{
    pattern_ = pattern;
    cursor_ = 0;
    CompiledPattern result;
    if (pattern.size() > kMaxPatternLength)
        Fail(reeExpressionTooLong);

    sizing_ = true;
    programSize_ = 0;
    StartPass(modifiers);
    EmitByte(kCheckByte);
    ParseReg(false, result.flags);

    sizing_ = false;
    code_.assign(static_cast<size_t>(programSize_), 0);
    emit_ = 0;
    StartPass(modifiers);
    EmitByte(kCheckByte);
    ParseReg(false, result.flags);
    if (emit_ != programSize_)
        throw std::logic_error("regex: the two compile passes disagree on the program size");

    result.program = std::move(code_);
    code_.clear();
    return result;
}

void RegExprCompiler::StartPass(uint32_t modifiers)
{
    cursor_ = 0;
    groupCount_ = 1;
    compileModifiers_ = modifiers;
}

void RegExprCompiler::Fail(int number)
{
    raise_(number);
    // An error reporter that returns leaves nothing sound to go on with.
    throw EAbort();
}

char RegExprCompiler::Peek(size_t ahead) const
{
    const size_t at = cursor_ + ahead;
    return at < pattern_.size() ? pattern_[at] : '\0';
}

// Alternation: branches separated by '|', as a group when `group` is set.
int32_t RegExprCompiler::ParseReg(bool group, int& flags)
{
    flags = kHasWidth;
    int32_t start = -1;
    int groupNumber = 0;
    if (group) {
        if (groupCount_ >= kGroupSlots)
            Fail(reeTooManyGroups);
        groupNumber = groupCount_++;
        start = EmitNode(uint8_t(OPEN_1 - 1 + groupNumber));
    }
    const uint32_t outerModifiers = compileModifiers_;

    int branchFlags;
    const int32_t first = ParseBranch(branchFlags);
    if (start >= 0)
        Link(start, first);
    else
        start = first;
    auto mergeBranchFlags = [&] {
        if (!(branchFlags & kHasWidth))
            flags &= ~kHasWidth;
        flags |= branchFlags & kStartsWithRepeat;
    };
    mergeBranchFlags();
    while (Peek() == '|') {
        ++cursor_;
        Link(start, ParseBranch(branchFlags));
        mergeBranchFlags();
    }

    const int32_t ender = EmitNode(group ? uint8_t(CLOSE_1 - 1 + groupNumber) : uint8_t(MATCH_END));
    Link(start, ender);
    if (!sizing_) {
        for (int32_t node = start; node >= 0;) {
            LinkOperand(node, ender);
            const int32_t offset = NextOffset(&code_[size_t(node)]);
            node = offset ? node + offset : -1;
        }
    }

    if (group) {
        if (Peek() != ')')
            Fail(reeUnclosedGroup);
        ++cursor_;
    } else if (!AtEnd()) {
        Fail(Peek() == ')' ? reeUnopenedGroup : reeJunkAtEnd);
    }
    compileModifiers_ = outerModifiers;
    return start;
}

// Branch: an ALTERNATIVE holding a sequence of pieces.
int32_t RegExprCompiler::ParseBranch(int& flags)
{
    flags = kWorst;
    const int32_t alternative = EmitNode(ALTERNATIVE);
    int32_t chain = -1;
    while (!AtEnd() && Peek() != '|' && Peek() != ')') {
        int pieceFlags;
        const int32_t latest = ParsePiece(pieceFlags);
        flags |= pieceFlags & kHasWidth;
        if (chain < 0)
            flags |= pieceFlags & kStartsWithRepeat;
        else
            Link(chain, latest);
        chain = latest;
    }
    if (chain < 0)
        EmitNode(EMPTY);
    return alternative;
}

// Piece: an atom with at most one quantifier.
int32_t RegExprCompiler::ParsePiece(int& flags)
{
    int atomFlags;
    const int32_t atom = ParseAtom(atomFlags);
    const char op = Peek();
    if (!IsQuantifierStart(op)) {
        flags = atomFlags;
        return atom;
    }
    if (!(atomFlags & kHasWidth) && op != '?')
        Fail(reeRepeatOperandCouldBeEmpty);

    int32_t min = 0;
    int32_t max = 0;
    if (op == '{') {
        if (!ParseBraces(min, max)) {
            flags = atomFlags; // the '{' is read as a literal by the next atom
            return atom;
        }
    } else {
        ++cursor_;
    }
    const bool nonGreedy = TakeNonGreedyMark();
    const bool simple = atomFlags & kSimple;

    switch (op) {
    case '*':
        flags = kStartsWithRepeat;
        if (simple)
            InsertNode(nonGreedy ? STAR_NG : STAR, atom, kNodeSize);
        else if (!nonGreedy)
            LowerGreedyStar(atom);
        else
            LowerCountedLoop(atom, 0, kMaxBraceCount, LOOP_NG);
        break;
    case '+':
        flags = kHasWidth | kStartsWithRepeat;
        if (simple)
            InsertNode(nonGreedy ? PLUS_NG : PLUS, atom, kNodeSize);
        else if (!nonGreedy)
            LowerGreedyPlus(atom);
        else
            LowerCountedLoop(atom, 1, kMaxBraceCount, LOOP_NG);
        break;
    case '?':
        flags = kWorst;
        if (!nonGreedy)
            LowerOptional(atom);
        else if (simple)
            InsertBraces(BRACES_NG, atom, 0, 1);
        else
            LowerCountedLoop(atom, 0, 1, LOOP_NG);
        break;
    default: // '{'
        if (min >= 1)
            flags = kHasWidth | kStartsWithRepeat;
        else
            flags = max >= 1 ? kStartsWithRepeat : kWorst;
        if (simple)
            InsertBraces(nonGreedy ? BRACES_NG : BRACES, atom, min, max);
        else
            LowerCountedLoop(atom, min, max, nonGreedy ? LOOP_NG : LOOP);
        break;
    }

    if (IsQuantifierStart(Peek()))
        Fail(reeNestedRepeat);
    return atom;
}

// "{n}", "{n,}" or "{n,m}" with the cursor at '{'. Any other shape is no
// quantifier: the cursor stays and false is returned.
bool RegExprCompiler::ParseBraces(int32_t& min, int32_t& max)
{
    size_t at = cursor_ + 1;
    auto skipDigits = [&] {
        const size_t from = at;
        while (at < pattern_.size() && pattern_[at] >= '0' && pattern_[at] <= '9')
            ++at;
        return at > from;
    };
    if (!skipDigits())
        return false;
    if (at < pattern_.size() && pattern_[at] == ',') {
        ++at;
        skipDigits();
    }
    if (at >= pattern_.size() || pattern_[at] != '}')
        return false;

    ++cursor_;
    min = ReadBraceNumber();
    max = min;
    if (Peek() == ',') {
        ++cursor_;
        max = Peek() == '}' ? kMaxBraceCount : ReadBraceNumber();
    }
    if (max < min)
        Fail(reeBracesMinAboveMax);
    ++cursor_; // '}'
    return true;
}

int32_t RegExprCompiler::ReadBraceNumber()
{
    constexpr int kMaxDigits = 8;
    int digits = 0;
    int64_t value = 0;
    while (Peek() >= '0' && Peek() <= '9') {
        value = value * 10 + (Peek() - '0');
        ++digits;
        ++cursor_;
        if (digits > kMaxDigits)
            Fail(reeBracesArgumentTooBig);
    }
    if (value > kMaxBraceCount)
        Fail(reeBracesArgumentTooBig);
    return static_cast<int32_t>(value);
}

// A quantifier is non-greedy when '?' follows it (consumed here) or when the
// g modifier is off where it stands.
bool RegExprCompiler::TakeNonGreedyMark()
{
    if (Peek() == '?') {
        ++cursor_;
        return true;
    }
    return !ModifierOn(kModG);
}

// Greedy '*' over a longer atom: try the atom and jump back, else nothing.
void RegExprCompiler::LowerGreedyStar(int32_t atom)
{
    InsertNode(ALTERNATIVE, atom, kNodeSize);
    LinkOperand(atom, EmitNode(JUMP_BACK));
    LinkOperand(atom, atom);
    Link(atom, EmitNode(ALTERNATIVE));
    Link(atom, EmitNode(EMPTY));
}

// Greedy '+' over a longer atom: the atom, then either loop back or go on.
void RegExprCompiler::LowerGreedyPlus(int32_t atom)
{
    const int32_t loopChoice = EmitNode(ALTERNATIVE);
    Link(atom, loopChoice);
    Link(EmitNode(JUMP_BACK), atom);
    Link(loopChoice, EmitNode(ALTERNATIVE));
    Link(atom, EmitNode(EMPTY));
}

// Greedy '?': the atom, else nothing.
void RegExprCompiler::LowerOptional(int32_t atom)
{
    InsertNode(ALTERNATIVE, atom, kNodeSize);
    Link(atom, EmitNode(ALTERNATIVE));
    const int32_t empty = EmitNode(EMPTY);
    Link(atom, empty);
    LinkOperand(atom, empty);
}

void RegExprCompiler::LowerCountedLoop(int32_t atom, int32_t min, int32_t max, uint8_t loopOp)
{
    InsertNode(LOOPENTRY, atom, kNodeSize);
    const int32_t body = atom + kNodeSize;
    const int32_t loop = EmitNode(loopOp);
    EmitInt32(min);
    EmitInt32(max);
    EmitInt32(body - loop);
    Link(atom, loop);
    Link(body, loop);
}

void RegExprCompiler::InsertBraces(uint8_t op, int32_t atom, int32_t min, int32_t max)
{
    InsertNode(op, atom, kBracesSize);
    if (sizing_)
        return;
    WriteInt32(&code_[size_t(atom) + kNodeSize], min);
    WriteInt32(&code_[size_t(atom) + kNodeSize + 4], max);
}

int32_t RegExprCompiler::EmitNode(uint8_t op)
{
    const int32_t at = sizing_ ? programSize_ : emit_;
    EmitByte(op);
    EmitInt32(0);
    return at;
}

void RegExprCompiler::EmitByte(uint8_t value)
{
    if (sizing_) {
        ++programSize_;
        return;
    }
    code_.at(size_t(emit_)) = value;
    ++emit_;
}

void RegExprCompiler::EmitInt32(int32_t value)
{
    if (sizing_) {
        programSize_ += 4;
        return;
    }
    if (size_t(emit_) + 4 > code_.size())
        throw std::logic_error("regex: program written past its size");
    WriteInt32(&code_[size_t(emit_)], value);
    emit_ += 4;
}

// Moves the atom (the last thing emitted) forward and puts a fresh node with
// zero next offset and zero operand bytes in front of it.
void RegExprCompiler::InsertNode(uint8_t op, int32_t at, int size)
{
    if (sizing_) {
        programSize_ += size;
        return;
    }
    if (size_t(emit_) + size_t(size) > code_.size())
        throw std::logic_error("regex: program written past its size");
    std::memmove(&code_[size_t(at + size)], &code_[size_t(at)], size_t(emit_ - at));
    std::memset(&code_[size_t(at)], 0, size_t(size));
    code_[size_t(at)] = op;
    emit_ += size;
}

// Stores the offset to `to` in the last node of the chain that starts at `from`.
void RegExprCompiler::Link(int32_t from, int32_t to)
{
    if (sizing_)
        return;
    int32_t last = from;
    for (int32_t offset; (offset = NextOffset(&code_[size_t(last)])) != 0;)
        last += offset;
    WriteInt32(&code_[size_t(last) + 1], to - last);
}

// Links the chain of an ALTERNATIVE's operand; other nodes are left alone.
void RegExprCompiler::LinkOperand(int32_t node, int32_t to)
{
    if (sizing_ || code_[size_t(node)] != ALTERNATIVE)
        return;
    Link(node + kNodeSize, to);
}

} // namespace regexpr

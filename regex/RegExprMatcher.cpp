#include "regex/RegExprMatcher.h"

#include "runtime/Exception.h"

#include <algorithm>
#include <cstring>

namespace regexpr {

namespace {

bool IsDigit(uint8_t c)
{
    return c >= '0' && c <= '9';
}

} // namespace

RegExprMatcher::RegExprMatcher(const Settings& settings, ErrorRaiser raise)
    : settings_(settings), raise_(std::move(raise))
{}

void RegExprMatcher::SetSubject(const char* start, const char* end)
{
    subjectStart_ = start;
    subjectEnd_ = end;
}

void RegExprMatcher::ClearGroups()
{
    if (!groupsSet_)
        return;
    groupsSet_ = false;
    std::fill(std::begin(groupStart_), std::end(groupStart_), nullptr);
    std::fill(std::begin(groupEnd_), std::end(groupEnd_), nullptr);
}

bool RegExprMatcher::TryAt(const uint8_t* program, const char* position)
{
    cursor_ = position;
    loopLevel_ = 0;
    frames_.clear();
    // A failed try undoes every group it set; a success or an error keeps them.
    groupsSet_ = true;
    if (!Run(program + 1)) {
        groupsSet_ = false;
        return false;
    }
    frames_.clear();
    groupStart_[0] = position;
    groupEnd_[0] = cursor_;
    return true;
}

const uint8_t* RegExprMatcher::Next(const uint8_t* node)
{
    const int32_t offset = NextOffset(node);
    if (offset == 0) {
        raise_(reeCorruptedPointers);
        throw EAbort();
    }
    return node + offset;
}

void RegExprMatcher::Push(FrameKind kind, const uint8_t* node, const char* cursor, int32_t a, int32_t b, uint8_t group)
{
    if (frames_.size() >= kMaxFrames) {
        raise_(reeBacktrackStackExceeded);
        throw EAbort();
    }
    frames_.push_back(Frame{kind, group, a, b, node, cursor});
}

// Walks the program from `node`. Every node either lets the walk go on to its
// next node or fails, and a failure resumes at the latest frame that still
// has another way to offer.
bool RegExprMatcher::Run(const uint8_t* node)
{
    for (;;) {
        const uint8_t op = node[0];
        const uint8_t c = static_cast<uint8_t>(*cursor_);
        bool ok = true;
        switch (op) {
        case MATCH_END: return true;
        case INPUT_START: ok = cursor_ == subjectStart_; break;
        case INPUT_END: ok = c == 0; break;
        case ANY_CHAR:
            ok = c != 0;
            cursor_ += ok;
            break;
        case ANY_BUT_LINE_BREAK:
            ok = c != 0 && !IsLineBreakAt(cursor_);
            cursor_ += ok;
            break;
        case LITERAL: ok = MatchLiteral(node); break;
        case LITERAL_CI: ok = MatchLiteralCi(node); break;
        case DIGIT:
            ok = IsDigit(c);
            cursor_ += ok;
            break;
        case NOT_DIGIT:
            ok = c != 0 && !IsDigit(c);
            cursor_ += ok;
            break;
        case ONE_OF_3:
        case NONE_OF_3:
        case CHAR_SET:
            ok = c != 0 && IsMember(node, c);
            cursor_ += ok;
            break;
        case EMPTY:
        case NO_OP:
        case JUMP_BACK: break;
        case ALTERNATIVE:
            if (Next(node)[0] == ALTERNATIVE)
                Push(FrameKind::Alternative, node, cursor_);
            node = Operand(node);
            continue;
        case BACKREF:
        case BACKREF_CI: ok = MatchBackref(node, op == BACKREF_CI); break;
        case WORD_BOUNDARY:
        case NOT_WORD_BOUNDARY: ok = AtWordBoundary() == (op == WORD_BOUNDARY); break;
        case LINE_START: ok = AtLineStart(); break;
        case LINE_END: ok = AtLineEnd(); break;
        case STAR:
        case STAR_NG:
        case PLUS:
        case PLUS_NG:
        case BRACES:
        case BRACES_NG:
            if (const uint8_t* next = StartRepeat(node)) {
                node = next;
                continue;
            }
            ok = false;
            break;
        case LOOPENTRY: node = EnterLoopEntry(node); continue;
        case LOOP:
        case LOOP_NG: node = EnterLoop(node); continue;
        default:
            if (IsOpen(op)) {
                const uint8_t group = uint8_t(op - OPEN_1 + 1);
                Push(FrameKind::GroupStart, node, groupStart_[group], 0, 0, group);
                groupStart_[group] = cursor_;
            } else if (IsClose(op)) {
                const uint8_t group = uint8_t(op - CLOSE_1 + 1);
                Push(FrameKind::GroupEnd, node, groupEnd_[group], 0, 0, group);
                groupEnd_[group] = cursor_;
            } else {
                raise_(reeMemoryCorruption);
                throw EAbort();
            }
            break;
        }
        if (ok) {
            node = Next(node);
            continue;
        }
        node = Backtrack();
        if (!node)
            return false;
    }
}

// Undoes frames until one offers another way; returns the node to go on
// with, or nullptr when every way from this start position has failed.
const uint8_t* RegExprMatcher::Backtrack()
{
    while (!frames_.empty()) {
        Frame& frame = frames_.back();
        switch (frame.kind) {
        case FrameKind::Alternative: {
            cursor_ = frame.cursor;
            const uint8_t* next = Next(frame.node);
            if (next[0] == ALTERNATIVE) {
                frame.node = next;
                return Operand(next);
            }
            break;
        }
        case FrameKind::GroupStart: groupStart_[frame.group] = frame.cursor; break;
        case FrameKind::GroupEnd: groupEnd_[frame.group] = frame.cursor; break;
        case FrameKind::Repeat: {
            const int64_t from = IsGreedyRepeat(frame.node[0]) ? int64_t(frame.a) - 1 : int64_t(frame.a) + 1;
            int32_t count;
            if (FindRepeatCount(frame.node, frame.cursor, from, frame.b, count)) {
                frame.a = count;
                cursor_ = frame.cursor + count * RepeatUnit(RepeatOperand(frame.node));
                return Next(frame.node);
            }
            break;
        }
        case FrameKind::LoopEntry:
            loopLevel_ = frame.a;
            loopCounters_[frame.a] = frame.b;
            cursor_ = frame.cursor;
            break;
        case FrameKind::LoopGreedyBody:
            RestoreLoop(frame);
            frame.kind = FrameKind::LoopExit;
            --loopLevel_;
            return Next(frame.node);
        case FrameKind::LoopLazyExit:
            RestoreLoop(frame);
            if (frame.b < RepeatMax(frame.node)) {
                Counter() = frame.b + 1;
                frame.kind = FrameKind::LoopBody;
                return LoopBody(frame.node);
            }
            break;
        case FrameKind::LoopBody:
        case FrameKind::LoopExit: RestoreLoop(frame); break;
        }
        frames_.pop_back();
    }
    return nullptr;
}

bool RegExprMatcher::MatchLiteral(const uint8_t* node)
{
    const char* text = reinterpret_cast<const char*>(Operand(node));
    const size_t length = std::strlen(text);
    if (size_t(subjectEnd_ - cursor_) < length || std::memcmp(cursor_, text, length) != 0)
        return false;
    cursor_ += length;
    return true;
}

bool RegExprMatcher::MatchLiteralCi(const uint8_t* node)
{
    const uint8_t* text = Operand(node);
    const size_t length = std::strlen(reinterpret_cast<const char*>(text));
    if (size_t(subjectEnd_ - cursor_) < length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        const auto c = static_cast<uint8_t>(cursor_[i]);
        if (c != text[i] && c != settings_.caseInverse[text[i]])
            return false;
    }
    cursor_ += length;
    return true;
}

bool RegExprMatcher::MatchBackref(const uint8_t* node, bool caseInsensitive)
{
    const uint8_t group = node[kNodeSize];
    const char* start = groupStart_[group];
    const char* end = groupEnd_[group];
    if (!start || !end)
        return false;
    const size_t length = end > start ? size_t(end - start) : 0;
    if (!GroupTextAt(cursor_, start, length, caseInsensitive))
        return false;
    cursor_ += length;
    return true;
}

// Whether the group's text (at `text`, `length` characters) follows at `at`
// within the subject; case-insensitively a subject character may also be the
// case inverse of the group's.
bool RegExprMatcher::GroupTextAt(const char* at, const char* text, size_t length, bool caseInsensitive) const
{
    if (size_t(subjectEnd_ - at) < length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        const auto c = static_cast<uint8_t>(at[i]);
        const auto g = static_cast<uint8_t>(text[i]);
        if (c != g && !(caseInsensitive && c == settings_.caseInverse[g]))
            return false;
    }
    return true;
}

bool RegExprMatcher::IsMember(const uint8_t* node, uint8_t c) const
{
    const uint8_t* operand = Operand(node);
    switch (node[0]) {
    case ONE_OF_3: return c == operand[0] || c == operand[1] || c == operand[2];
    case NONE_OF_3: return c != operand[0] && c != operand[1] && c != operand[2];
    default: // CHAR_SET
        return (operand[c >> 3] >> (c & 7)) & 1;
    }
}

bool RegExprMatcher::AtWordBoundary() const
{
    const bool wordBefore = cursor_ > subjectStart_ && settings_.wordSet.Has(static_cast<uint8_t>(cursor_[-1]));
    const auto c = static_cast<uint8_t>(*cursor_);
    const bool wordAfter = c != 0 && settings_.wordSet.Has(c);
    return wordBefore != wordAfter;
}

bool RegExprMatcher::IsLineBreakAt(const char* at) const
{
    const auto c = static_cast<uint8_t>(*at);
    if (settings_.lineSeparatorSet.Has(c))
        return true;
    return settings_.pairedAssigned && c == settings_.pairedHead && static_cast<uint8_t>(at[1]) == settings_.pairedTail;
}

bool RegExprMatcher::AtLineStart() const
{
    if (cursor_ == subjectStart_)
        return true;
    const auto before = static_cast<uint8_t>(cursor_[-1]);
    const bool paired = settings_.pairedAssigned;
    if (paired && before == settings_.pairedTail && cursor_ - 1 > subjectStart_ &&
        static_cast<uint8_t>(cursor_[-2]) == settings_.pairedHead)
        return true;
    const bool insidePair =
        paired && before == settings_.pairedHead && static_cast<uint8_t>(*cursor_) == settings_.pairedTail;
    return settings_.lineSeparatorSet.Has(before) && !insidePair;
}

bool RegExprMatcher::AtLineEnd() const
{
    if (cursor_ == subjectEnd_)
        return true;
    const auto c = static_cast<uint8_t>(*cursor_);
    const bool paired = settings_.pairedAssigned;
    if (paired && c == settings_.pairedHead && static_cast<uint8_t>(cursor_[1]) == settings_.pairedTail)
        return true;
    const bool insidePair = paired && c == settings_.pairedTail && cursor_ > subjectStart_ &&
        static_cast<uint8_t>(cursor_[-1]) == settings_.pairedHead;
    return settings_.lineSeparatorSet.Has(c) && !insidePair;
}

} // namespace regexpr

// One-character repeats and counted loops of the matcher.
#include "regex/RegExprMatcher.h"

#include "runtime/Exception.h"

#include <algorithm>

namespace regexpr {

// STAR, PLUS, BRACES and their non-greedy forms: counts how often the operand
// matches in a row, then offers the counts from the most (greedy) or the
// fewest (non-greedy) on, skipping those where the literal that follows
// cannot start. Returns the node after the repeat, or nullptr if no count fits.
const uint8_t* RegExprMatcher::StartRepeat(const uint8_t* node)
{
    int32_t min = 0;
    int32_t max = kMaxSimpleRepeat;
    switch (node[0]) {
    case PLUS:
    case PLUS_NG: min = 1; break;
    case BRACES:
    case BRACES_NG:
        min = RepeatMin(node);
        max = RepeatMax(node);
        break;
    default: break;
    }
    const uint8_t* operand = RepeatOperand(node);
    const int32_t found = CountRepeats(operand, min, max);
    const bool greedy = IsGreedyRepeat(node[0]);
    const int32_t last = greedy ? min : found;
    const char* start = cursor_;
    int32_t count;
    if (!FindRepeatCount(node, start, greedy ? found : min, last, count))
        return nullptr;
    Push(FrameKind::Repeat, node, start, count, last);
    cursor_ = start + count * RepeatUnit(operand);
    return Next(node);
}

// The next count to try, from `from` towards `last` (down for greedy
// repeats, up for non-greedy ones), at which the continuation can start.
bool RegExprMatcher::FindRepeatCount(const uint8_t* node, const char* start, int64_t from, int32_t last,
                                     int32_t& count) const
{
    const int32_t offset = NextOffset(node);
    const uint8_t* next = node + offset;
    const uint8_t lookahead = offset != 0 && next[0] == LITERAL ? next[kNodeSize] : 0;
    const int64_t unit = RepeatUnit(RepeatOperand(node));
    auto fits = [&](int64_t k) { return lookahead == 0 || static_cast<uint8_t>(start[k * unit]) == lookahead; };
    if (IsGreedyRepeat(node[0])) {
        for (int64_t k = from; k >= last; --k) {
            if (fits(k)) {
                count = int32_t(k);
                return true;
            }
        }
        return false;
    }
    for (int64_t k = from; k <= last; ++k) {
        if (fits(k)) {
            count = int32_t(k);
            return true;
        }
    }
    return false;
}

// How many times in a row the one-character operand matches from the cursor,
// at most `max`. The cursor is left where it is.
int32_t RegExprMatcher::CountRepeats(const uint8_t* operand, int32_t min, int32_t max) const
{
    const auto* at = reinterpret_cast<const uint8_t*>(cursor_);
    const int64_t available = subjectEnd_ - cursor_;
    const int32_t limit = int32_t(std::min<int64_t>(max, available));
    const uint8_t first = operand[kNodeSize];
    int32_t count = 0;
    switch (operand[0]) {
    case ANY_CHAR: return limit;
    case LITERAL:
        while (count < limit && at[count] == first)
            ++count;
        return count;
    case LITERAL_CI: {
        const uint8_t other = settings_.caseInverse[first];
        while (count < limit && (at[count] == first || at[count] == other))
            ++count;
        return count;
    }
    case DIGIT:
        while (count < limit && at[count] >= '0' && at[count] <= '9')
            ++count;
        return count;
    case NOT_DIGIT:
        while (count < limit && !(at[count] >= '0' && at[count] <= '9'))
            ++count;
        return count;
    case ONE_OF_3:
    case NONE_OF_3:
    case CHAR_SET:
        while (count < limit && IsMember(operand, at[count]))
            ++count;
        return count;
    case BACKREF:
    case BACKREF_CI: return CountBackrefRepeats(operand, min, max);
    default: raise_(reeRepeatMisplaced); throw EAbort();
    }
}

// Whole repetitions of a group's text. An empty text repeats without end:
// it satisfies the minimum and the count stops there.
int32_t RegExprMatcher::CountBackrefRepeats(const uint8_t* operand, int32_t min, int32_t max) const
{
    const uint8_t group = operand[kNodeSize];
    const char* start = groupStart_[group];
    const char* end = groupEnd_[group];
    if (!start || !end)
        return 0;
    const int64_t length = end > start ? end - start : 0;
    if (length == 0)
        return min;
    const bool caseInsensitive = operand[0] == BACKREF_CI;
    int32_t count = 0;
    for (const char* at = cursor_; count < max && GroupTextAt(at, start, size_t(length), caseInsensitive); at += length)
        ++count;
    return count;
}

// Characters one repetition takes: the group's text length for a
// backreference, one for everything else.
int64_t RegExprMatcher::RepeatUnit(const uint8_t* operand) const
{
    if (operand[0] != BACKREF && operand[0] != BACKREF_CI)
        return 1;
    const uint8_t group = operand[kNodeSize];
    const char* start = groupStart_[group];
    const char* end = groupEnd_[group];
    return start && end && end > start ? end - start : 0;
}

// LOOPENTRY opens a counted loop one level deeper; its next is the LOOP node.
const uint8_t* RegExprMatcher::EnterLoopEntry(const uint8_t* node)
{
    const int32_t level = loopLevel_;
    if (level + 1 > kMaxLoopLevels) {
        raise_(reeLoopStackExceeded);
        throw EAbort();
    }
    Push(FrameKind::LoopEntry, node, cursor_, level, loopCounters_[level]);
    loopLevel_ = level + 1;
    loopCounters_[level] = 0;
    return Next(node);
}

// LOOP / LOOP_NG: another iteration of the body, or on to the node after the
// loop, in the order the greediness asks. Every way out on failure puts the
// level and the counter back as they were here.
const uint8_t* RegExprMatcher::EnterLoop(const uint8_t* node)
{
    if (loopLevel_ == 0) {
        raise_(reeLoopWithoutEntry);
        throw EAbort();
    }
    const int32_t count = Counter();
    const int32_t level = loopLevel_;
    if (count < RepeatMin(node)) {
        Push(FrameKind::LoopBody, node, cursor_, level, count);
        Counter() = count + 1;
        return LoopBody(node);
    }
    if (node[0] == LOOP && count < RepeatMax(node)) {
        Push(FrameKind::LoopGreedyBody, node, cursor_, level, count);
        Counter() = count + 1;
        return LoopBody(node);
    }
    Push(node[0] == LOOP ? FrameKind::LoopExit : FrameKind::LoopLazyExit, node, cursor_, level, count);
    --loopLevel_;
    return Next(node);
}

void RegExprMatcher::RestoreLoop(const Frame& frame)
{
    loopLevel_ = frame.a;
    loopCounters_[frame.a - 1] = frame.b;
    cursor_ = frame.cursor;
}

} // namespace regexpr

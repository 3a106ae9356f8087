#pragma once

#include "regex/RegExprProgram.h"
#include "regex/RegExprSettings.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace regexpr {

// Runs p-code against a subject by backtracking. Where a recursive matcher
// would recurse, this one pushes a frame saying how to undo the step and
// what to try next, so the depth of a match costs heap, not stack: a failed
// path pops frames until one offers another way. Frames are kept between
// searches, so a search allocates only when it goes deeper than any before.
class RegExprMatcher {
public:
    // Backtracking state above this raises error 1016 instead of growing.
    static constexpr size_t kMaxFrames = size_t(1) << 22;

    RegExprMatcher(const Settings& settings, ErrorRaiser raise);

    void SetSubject(const char* start, const char* end);
    void ClearGroups();

    // Tries a match of `program` (starting at its first node) at `position`,
    // with every group cleared; on success group 0 spans the match.
    bool TryAt(const uint8_t* program, const char* position);

    const char* GroupStart(int n) const { return groupStart_[n]; }
    const char* GroupEnd(int n) const { return groupEnd_[n]; }

private:
    enum class FrameKind : uint8_t {
        Alternative,    // try the next ALTERNATIVE of the chain
        GroupStart,     // restore a group start
        GroupEnd,       // restore a group end
        Repeat,         // try the next count of a one-character repeat
        LoopEntry,      // restore the loop level and its counter
        LoopBody,       // undo one more iteration of a counted loop
        LoopGreedyBody, // greedy loop: after more iterations failed, leave
        LoopExit,       // undo leaving a counted loop
        LoopLazyExit,   // non-greedy loop: after leaving failed, iterate
    };
    struct Frame {
        FrameKind kind;
        uint8_t group;
        int32_t a; // Repeat: count tried; loops: saved level
        int32_t b; // Repeat: last count to try; loops: saved counter
        const uint8_t* node;
        const char* cursor;
    };

    const uint8_t* Next(const uint8_t* node);
    void Push(FrameKind kind, const uint8_t* node, const char* cursor, int32_t a = 0, int32_t b = 0, uint8_t group = 0);
    bool Run(const uint8_t* node);
    const uint8_t* Backtrack();

    bool MatchLiteral(const uint8_t* node);
    bool MatchLiteralCi(const uint8_t* node);
    bool MatchBackref(const uint8_t* node, bool caseInsensitive);
    bool GroupTextAt(const char* at, const char* text, size_t length, bool caseInsensitive) const;
    bool IsMember(const uint8_t* node, uint8_t c) const;
    bool AtWordBoundary() const;
    bool AtLineStart() const;
    bool AtLineEnd() const;
    bool IsLineBreakAt(const char* at) const;

    const uint8_t* StartRepeat(const uint8_t* node);
    bool FindRepeatCount(const uint8_t* node, const char* start, int64_t from, int32_t last, int32_t& count) const;
    int32_t CountRepeats(const uint8_t* operand, int32_t min, int32_t max) const;
    int32_t CountBackrefRepeats(const uint8_t* operand, int32_t min, int32_t max) const;
    int64_t RepeatUnit(const uint8_t* operand) const;

    const uint8_t* EnterLoop(const uint8_t* node);
    const uint8_t* EnterLoopEntry(const uint8_t* node);
    void RestoreLoop(const Frame& frame);
    int32_t& Counter() { return loopCounters_[loopLevel_ - 1]; }

    const Settings& settings_;
    ErrorRaiser raise_;
    const char* subjectStart_ = nullptr;
    const char* subjectEnd_ = nullptr;
    const char* cursor_ = nullptr;
    const char* groupStart_[kGroupSlots] = {};
    const char* groupEnd_[kGroupSlots] = {};
    bool groupsSet_ = false; // some group may be set
    int32_t loopCounters_[kMaxLoopLevels] = {};
    int32_t loopLevel_ = 0;
    std::vector<Frame> frames_;
};

} // namespace regexpr

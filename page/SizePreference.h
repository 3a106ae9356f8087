#pragma once

// Which of several sizes of one video to take, when a page, a stream or the
// site offers them: the quality the user chose, as a rule over heights.
struct TSizePreference {
    enum TRule {
        srLargest,  // the greatest height
        srSmallest, // the least height
        srNearest,  // the height nearest Lines
    };
    TRule Rule = srNearest;
    int Lines = 360;
    // Of two heights as near Lines: the greater (the quality buttons' 360
    // lines, which round up to the better picture) or the smaller (a height
    // the user asked for, which is not to be exceeded without need).
    bool GreaterOnTie = true;

    bool operator==(const TSizePreference&) const = default;

    // Whether height a suits the preference strictly better than height b.
    constexpr bool Prefers(int a, int b) const
    {
        switch (Rule) {
        case srLargest: return a > b;
        case srSmallest: return a < b;
        case srNearest: break;
        }
        const int distanceA = a > Lines ? a - Lines : Lines - a, distanceB = b > Lines ? b - Lines : Lines - b;
        if (distanceA != distanceB)
            return distanceA < distanceB;
        return GreaterOnTie ? a > b : a < b;
    }
};

inline constexpr TSizePreference spLargest{TSizePreference::srLargest};
inline constexpr TSizePreference spSmallest{TSizePreference::srSmallest};
inline constexpr TSizePreference spNearest360{TSizePreference::srNearest, 360, true};

// The height nearest lines; of two as near, the smaller.
constexpr TSizePreference NearestHeight(int lines)
{
    return {TSizePreference::srNearest, lines, false};
}

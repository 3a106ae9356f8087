#pragma once

#include "regex/ByteSet.h"
#include "regex/ERegExpr.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace regexpr {

// Modifier bits, addressed by index 1..6 (Modifier) or by letter inline.
enum ModifierBit : uint32_t {
    kModI = 1,  // case-insensitive letters
    kModR = 2,  // code page 1251 Cyrillic ranges widened
    kModS = 4,  // '.' matches line breaks too
    kModG = 8,  // quantifiers greedy
    kModM = 16, // '^' and '$' at line breaks
    kModX = 32, // extended syntax
};

// Modifier bit for an inline letter (either case), 0 for any other character.
inline uint32_t ModifierBitOfLetter(char letter)
{
    switch (letter | 0x20) {
    case 'i': return kModI;
    case 'r': return kModR;
    case 's': return kModS;
    case 'g': return kModG;
    case 'm': return kModM;
    case 'x': return kModX;
    default: return 0;
    }
}

// What the compiler, the hints and the matcher read of the object's settings.
struct Settings {
    std::string spaceClassChars;
    std::string wordClassChars;
    std::string lineSeparatorChars;
    bool pairedAssigned = false;
    uint8_t pairedHead = 0;
    uint8_t pairedTail = 0;
    std::array<uint8_t, 256> caseInverse{}; // the case inverter applied to every byte
    ByteSet wordSet;                        // in step with wordClassChars
    ByteSet lineSeparatorSet;               // in step with lineSeparatorChars
};

// Raises the engine's error with this number (a TRegExprError); it never
// returns normally.
using ErrorRaiser = std::function<void(int number)>;

} // namespace regexpr

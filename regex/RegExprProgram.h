#pragma once

#include <cstdint>

// The compiled form of a pattern (the p-code), as a byte format.
//
// Byte 0 holds the check value 216; the first node starts at byte 1. Every
// node is laid out as
//
//   opcode    1 byte
//   next      signed 32-bit, little-endian, unaligned: offset from the node's
//             own first byte to the node that follows it; 0 = none. Only
//             JUMP_BACK stores a negative offset (back to its loop head).
//   operand   depends on the opcode:
//     LITERAL, LITERAL_CI      the characters, then a zero byte
//     ALTERNATIVE, STAR(_NG),  none of its own: the alternative's first node
//     PLUS(_NG), LOOPENTRY     (or the repeated node, or the loop body)
//                              follows right after the 5 header bytes
//     BRACES(_NG)              min, max (signed 32-bit each), then the
//                              repeated one-character node
//     LOOP(_NG)                min, max, and the offset from this node to
//                              the first node of the loop body
//     ONE_OF_3, NONE_OF_3      exactly three characters
//     CHAR_SET                 32-byte bitmap: bit c%8 of byte c/8 is char c
//     BACKREF(_CI)             the group number, one byte (1..9)
//
// OPEN_n and CLOSE_n record where group n (1..14) begins and ends.
namespace regexpr {

constexpr uint8_t kCheckByte = 216;

enum Opcode : uint8_t {
    MATCH_END = 0,
    INPUT_START = 1,
    INPUT_END = 2,
    ANY_CHAR = 3,
    ALTERNATIVE = 6,
    JUMP_BACK = 7,
    LITERAL = 8,
    EMPTY = 9,
    STAR = 10,
    PLUS = 11,
    DIGIT = 12,
    NOT_DIGIT = 13,
    BRACES = 18,
    NO_OP = 19,
    LITERAL_CI = 20,
    LOOPENTRY = 23,
    LOOP = 24,
    ONE_OF_3 = 25,
    NONE_OF_3 = 26,
    CHAR_SET = 27,
    BACKREF = 28,
    BACKREF_CI = 29,
    STAR_NG = 30,
    PLUS_NG = 31,
    BRACES_NG = 32,
    LOOP_NG = 33,
    LINE_START = 34,
    LINE_END = 35,
    ANY_BUT_LINE_BREAK = 36,
    WORD_BOUNDARY = 37,
    NOT_WORD_BOUNDARY = 38,
    OPEN_1 = 40, // OPEN_n = 39 + n
    OPEN_14 = 53,
    CLOSE_1 = 55, // CLOSE_n = 54 + n
    CLOSE_14 = 68,
};

constexpr int kNodeSize = 5;    // opcode and next offset
constexpr int kBracesSize = 13; // plus min and max
constexpr int kLoopSize = 17;   // plus min, max and the body offset
constexpr int kBitmapSize = 32;

constexpr int kGroupSlots = 15; // group 0 is the whole match
constexpr int kMaxLoopLevels = 10;
constexpr int32_t kMaxBraceCount = 2147483646;
constexpr int32_t kMaxSimpleRepeat = 2147483647;

inline int32_t ReadInt32(const uint8_t* p)
{
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

inline void WriteInt32(uint8_t* p, int32_t value)
{
    const auto bits = static_cast<uint32_t>(value);
    p[0] = uint8_t(bits);
    p[1] = uint8_t(bits >> 8);
    p[2] = uint8_t(bits >> 16);
    p[3] = uint8_t(bits >> 24);
}

inline int32_t NextOffset(const uint8_t* node)
{
    return ReadInt32(node + 1);
}
inline const uint8_t* Operand(const uint8_t* node)
{
    return node + kNodeSize;
}
inline int32_t RepeatMin(const uint8_t* node)
{
    return ReadInt32(node + kNodeSize);
}
inline int32_t RepeatMax(const uint8_t* node)
{
    return ReadInt32(node + kNodeSize + 4);
}
inline const uint8_t* BracesOperand(const uint8_t* node)
{
    return node + kBracesSize;
}
inline const uint8_t* LoopBody(const uint8_t* node)
{
    return node + ReadInt32(node + kNodeSize + 8);
}

// The repeated one-character node of STAR, PLUS, BRACES and their non-greedy forms.
inline const uint8_t* RepeatOperand(const uint8_t* node)
{
    return node[0] == BRACES || node[0] == BRACES_NG ? BracesOperand(node) : Operand(node);
}
inline bool IsGreedyRepeat(uint8_t op)
{
    return op == STAR || op == PLUS || op == BRACES;
}

inline bool IsOpen(uint8_t op)
{
    return op >= OPEN_1 && op <= OPEN_14;
}
inline bool IsClose(uint8_t op)
{
    return op >= CLOSE_1 && op <= CLOSE_14;
}

} // namespace regexpr

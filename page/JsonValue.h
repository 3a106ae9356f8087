#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TJsonMember;

// A value of a JSON text (RFC 8259).
struct TJsonValue {
    enum TKind { jkNull, jkBoolean, jkNumber, jkString, jkArray, jkObject };

    TKind Kind = jkNull;
    std::string Text;                 // a string's UTF-8; a number or literal as written
    std::vector<TJsonValue> Items;    // of an array
    std::vector<TJsonMember> Members; // of an object, in their order

    // The first member of that name, or null when there is none.
    const TJsonValue* Member(std::string_view name) const;
};

struct TJsonMember {
    std::string Name;
    TJsonValue Value;
};

// The deepest nesting of arrays and objects that ParseJson reads.
inline constexpr int kJsonDepthLimit = 64;

// Reads a whole JSON text; nothing when it is not one or nests deeper than
// the limit.
std::optional<TJsonValue> ParseJson(std::string_view text);

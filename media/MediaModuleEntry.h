#pragma once

#include "media/MediaJoin.h"

#include <string>
#include <vector>

// What the media module offers the program: one function, found by name.
// No exception crosses between them (each has its own copy of the runtime's
// classes): a failure comes back as a code and these words.

struct TModuleFailure {
    const char* Wording = nullptr; // an EMediaJoin's catalogue text
    std::vector<std::string> Arguments;
    std::string Message; // what anything else raised
};

enum TModuleOutcome { moJoined, moJoinFailed, moCancelled, moOtherFailure };

using TModuleJoin = TModuleOutcome (*)(const TJoinRequest* request, TJoinOutcome* outcome, TModuleFailure* failure);

inline constexpr const char* kModuleJoinName = "SkerrowJoinMedia";
inline constexpr const char* kModuleFileName = "skerrow-media.so";

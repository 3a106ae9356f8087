#pragma once

#include "media/MediaJoin.h"

#include <string>
#include <vector>

// What is checked of the pieces before a join opens anything.

// Raises EMediaJoin unless every piece lies within its file.
void CheckPieces(const std::vector<TMediaInput>& inputs);
// Whether the file is one that pieces lie in (under any name): writing it
// would destroy them.
bool HoldsPieces(const std::string& file, const std::vector<TMediaInput>& inputs);

#pragma once

#include "media/MediaJoin.h"

// The joiner itself, with FFmpeg's libraries: what the media module runs,
// and what a program that links it runs in its own process.

// JoinMedia's work, done here.
TJoinOutcome JoinMediaInProcess(const TJoinRequest& request);

// Makes JoinMedia join in this process instead of loading the module: for
// programs that link the joiner (the tests, the fuzz target).
void JoinInThisProcess();

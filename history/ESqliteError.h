#pragma once

#include "runtime/Exception.h"

// A failure of the database engine, with its result code. The history
// catches it: nothing of it reaches a download.
class ESqliteError : public Exception {
public:
    ESqliteError(int code, const std::string& message) : Exception(message), code_(code) {}

    int Code() const { return code_; }
    // Whether the file is no database or a damaged one, as opposed to busy,
    // read-only or full: such a file is set aside, never written again.
    bool Damaged() const;

private:
    int code_;
};

#pragma once

#include "runtime/ResourceString.h"

#include <stdexcept>
#include <string>

// Root of every failure the program raises: it carries the message that the
// application's display shows. Each subsystem derives its own family.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}

    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }
    void SetMessage(std::string message) { message_ = std::move(message); }

    // Words the message again through the message lookup on the calling
    // thread. Only the translation engine's own thread translates, so a
    // failure raised on a worker carries its English text; the engine's
    // thread puts it into the language of that moment. A message made of
    // parts is made again from them.
    virtual void Reword() { message_ = LoadResString(message_); }

private:
    std::string message_;
};

// The silent abort: it unwinds like any failure, but the display drops it
// without a word.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};

// Raised where a caller asks for something out of range (a list index, a
// stream seek, a component that does not exist).
class EListError : public Exception {
public:
    using Exception::Exception;
};

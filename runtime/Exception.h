#pragma once

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

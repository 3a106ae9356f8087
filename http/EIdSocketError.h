#pragma once

#include "http/EIdException.h"

#include <string>

// A failed socket call. The message is "Socket Error # <code>\r\n<text>",
// the text taken from the table of known codes (empty for others).
class EIdSocketError : public EIdException {
public:
    explicit EIdSocketError(int code) : EIdException(FormatMessage(code)), lastError_(code) {}

    int LastError() const { return lastError_; }

    static std::string ErrorText(int code);
    static std::string FormatMessage(int code);

private:
    int lastError_;
};

// Code 10038: the handle is not (or no longer) a socket.
class EIdNotASocket : public EIdSocketError {
public:
    explicit EIdNotASocket(int code) : EIdSocketError(code) {}
};

// The socket error codes that the program itself relies on.
namespace IdSocketErrors {
constexpr int Interrupted = 10004;
constexpr int BadFile = 10009;
constexpr int NotASocket = 10038;
constexpr int AddressInUse = 10048;
constexpr int ConnectionReset = 10054;
constexpr int TimedOut = 10060;
constexpr int ConnectionRefused = 10061;
constexpr int HostNotFound = 11001;
constexpr int TryAgain = 11002;
constexpr int NoRecovery = 11003;
constexpr int NoData = 11004;
} // namespace IdSocketErrors

// Raises the error for code: EIdNotASocket for 10038, else EIdSocketError.
[[noreturn]] void RaiseSocketError(int code);

#pragma once

#include "runtime/Exception.h"
#include "runtime/ResourceString.h"

#include <string>

// Root of the HTTP client's failures.
class EIdException : public Exception {
public:
    using Exception::Exception;
};

// Declares a failure class of the family whose message is fixed.
#define SKERROW_ID_EXCEPTION(Name, Base, Text)                                                                         \
    class Name : public Base {                                                                                         \
    public:                                                                                                            \
        Name() : Base(LoadResString(Text)) {}                                                                          \
        explicit Name(std::string message) : Base(std::move(message)) {}                                               \
    };

// Connecting.
SKERROW_ID_EXCEPTION(EIdAlreadyConnected, EIdException, "Already connected.")
SKERROW_ID_EXCEPTION(EIdHostRequired, EIdException, "")
SKERROW_ID_EXCEPTION(EIdPortRequired, EIdException, "")
SKERROW_ID_EXCEPTION(EIdConnectTimeout, EIdException, "Connect timed out.")
SKERROW_ID_EXCEPTION(EIdConnectException, EIdException, "")
SKERROW_ID_EXCEPTION(EIdCouldNotBindSocket, EIdException, "Could not bind socket. Address and port are already in use.")
SKERROW_ID_EXCEPTION(EIdIPv6Unavailable, EIdException, "IPv6 unavailable")

// Reading and the connection's end.
SKERROW_ID_EXCEPTION(EIdReadTimeout, EIdException, "Read Timeout")
SKERROW_ID_EXCEPTION(EIdRequestTimeout, EIdException, "Request timed out.")
SKERROW_ID_EXCEPTION(EIdResponseTooLarge, EIdException, "Response too large.")
SKERROW_ID_EXCEPTION(EIdConnClosedGracefully, EIdException, "Connection Closed Gracefully.")
SKERROW_ID_EXCEPTION(EIdReadLnMaxLineLengthExceeded, EIdException, "Max line length exceeded.")
SKERROW_ID_EXCEPTION(EIdClosedSocket, EIdException, "Disconnected.")

// The byte queue.
SKERROW_ID_EXCEPTION(EIdTooMuchDataInBuffer, EIdException, "Too much data in buffer.")
SKERROW_ID_EXCEPTION(EIdNotEnoughDataInBuffer, EIdException, "Not enough data in buffer.")

// The socket stack. The operating system's socket functions are linked
// directly and need no start-up, so these two stay for callers that catch
// the family by class; nothing here raises them.
SKERROW_ID_EXCEPTION(EIdStackInitializationFailed, EIdException, "Winsock Initialization Error.")
SKERROW_ID_EXCEPTION(EIdWinsockStubError, EIdException, "")

#undef SKERROW_ID_EXCEPTION

// Port ranges name the range they were given.
class EIdInvalidPortRange : public EIdException {
public:
    EIdInvalidPortRange(int low, int high)
        : EIdException("Invalid Port Range (" + std::to_string(low) + " - " + std::to_string(high) + ")")
    {}
};

class EIdCanNotBindPortInRange : public EIdException {
public:
    EIdCanNotBindPortInRange(int low, int high)
        : EIdException("Can not bind in port range (" + std::to_string(low) + " - " + std::to_string(high) + ")")
    {}
};

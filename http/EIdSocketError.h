#pragma once

#include "http/EIdException.h"

#include <string>

// What a failed socket call was doing, as far as its caller knows.
enum TIdSocketErrorStage { seConnecting, seExchanging };

// A failed socket call. The message is "Socket Error # <code>\r\n<text>",
// the text taken from the table of known codes (empty for others), until a
// caller names the peer the call was for (SetPeer): from then on the message
// says in the program's words what failed, for the user to read, and the
// code stays in LastError.
class EIdSocketError : public EIdException {
public:
    explicit EIdSocketError(int code) : EIdException(FormatMessage(code)), lastError_(code) {}

    int LastError() const { return lastError_; }
    // "Could not connect to 127.0.0.1:8000: connection refused.", "Host not
    // found: example.invalid" or "The connection to example.org:80 failed:
    // connection reset by peer."
    void SetPeer(TIdSocketErrorStage stage, const std::string& host, int port);
    bool NamesPeer() const { return !peerHost_.empty(); }
    void Reword() override;

    static std::string ErrorText(int code);
    static std::string FormatMessage(int code);

private:
    std::string PeerMessage() const;

    int lastError_;
    TIdSocketErrorStage stage_ = seConnecting;
    std::string peerHost_;
    int peerPort_ = 0;
};

// Code 10038: the handle is not (or no longer) a socket.
class EIdNotASocket : public EIdSocketError {
public:
    explicit EIdNotASocket(int code) : EIdSocketError(code) {}
};

// The socket error codes: errno and resolver failures are mapped onto them,
// and the messages name them.
namespace IdSocketErrors {
constexpr int NotEnoughMemory = 8;
constexpr int Interrupted = 10004;
constexpr int BadFile = 10009;
constexpr int AccessDenied = 10013;
constexpr int BufferFault = 10014;
constexpr int InvalidArgument = 10022;
constexpr int TooManyOpenFiles = 10024;
constexpr int WouldBlock = 10035;
constexpr int InProgress = 10036;
constexpr int AlreadyInProgress = 10037;
constexpr int NotASocket = 10038;
constexpr int DestinationRequired = 10039;
constexpr int MessageTooLong = 10040;
constexpr int WrongProtocolType = 10041;
constexpr int BadProtocolOption = 10042;
constexpr int ProtocolNotSupported = 10043;
constexpr int SocketTypeNotSupported = 10044;
constexpr int OperationNotSupported = 10045;
constexpr int ProtocolFamilyNotSupported = 10046;
constexpr int AddressFamilyNotSupported = 10047;
constexpr int AddressInUse = 10048;
constexpr int AddressNotAvailable = 10049;
constexpr int NetworkDown = 10050;
constexpr int NetworkUnreachable = 10051;
constexpr int NetworkReset = 10052;
constexpr int ConnectionAborted = 10053;
constexpr int ConnectionReset = 10054;
constexpr int NoBufferSpace = 10055;
constexpr int AlreadyConnected = 10056;
constexpr int NotConnected = 10057;
constexpr int ShutDown = 10058;
constexpr int TooManyReferences = 10059;
constexpr int TimedOut = 10060;
constexpr int ConnectionRefused = 10061;
constexpr int SymbolicLinkLoop = 10062;
constexpr int NameTooLong = 10063;
constexpr int HostDown = 10064;
constexpr int HostUnreachable = 10065;
constexpr int DirectoryNotEmpty = 10066;
constexpr int ServiceNotFound = 10109;
constexpr int HostNotFound = 11001;
constexpr int TryAgain = 11002;
constexpr int NoRecovery = 11003;
constexpr int NoData = 11004;
} // namespace IdSocketErrors

// Raises the error for code: EIdNotASocket for 10038, else EIdSocketError.
[[noreturn]] void RaiseSocketError(int code);

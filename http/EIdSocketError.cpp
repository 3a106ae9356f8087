#include "http/EIdSocketError.h"

#include "runtime/AsciiText.h"
#include "runtime/ResourceString.h"

#include <map>

namespace {

const std::map<int, const char*> kErrorTexts = {
    {IdSocketErrors::Interrupted, "Interrupted system call."},
    {IdSocketErrors::BadFile, "Bad file number."},
    {IdSocketErrors::AccessDenied, "Access denied."},
    {IdSocketErrors::BufferFault, "Buffer fault."},
    {IdSocketErrors::InvalidArgument, "Invalid argument."},
    {IdSocketErrors::TooManyOpenFiles, "Too many open files."},
    {IdSocketErrors::WouldBlock, "Operation would block."},
    {IdSocketErrors::InProgress, "Operation now in progress."},
    {IdSocketErrors::AlreadyInProgress, "Operation already in progress."},
    {IdSocketErrors::NotASocket, "Socket operation on non-socket."},
    {IdSocketErrors::DestinationRequired, "Destination address required."},
    {IdSocketErrors::MessageTooLong, "Message too long."},
    {IdSocketErrors::WrongProtocolType, "Protocol wrong type for socket."},
    {IdSocketErrors::BadProtocolOption, "Bad protocol option."},
    {IdSocketErrors::ProtocolNotSupported, "Protocol not supported."},
    {IdSocketErrors::SocketTypeNotSupported, "Socket type not supported."},
    {IdSocketErrors::OperationNotSupported, "Operation not supported on socket."},
    {IdSocketErrors::ProtocolFamilyNotSupported, "Protocol family not supported."},
    {IdSocketErrors::AddressFamilyNotSupported, "Address family not supported by protocol family."},
    {IdSocketErrors::AddressInUse, "Address already in use."},
    {IdSocketErrors::AddressNotAvailable, "Cannot assign requested address."},
    {IdSocketErrors::NetworkDown, "Network is down."},
    {IdSocketErrors::NetworkUnreachable, "Network is unreachable."},
    {IdSocketErrors::NetworkReset, "Net dropped connection or reset."},
    {IdSocketErrors::ConnectionAborted, "Software caused connection abort."},
    {IdSocketErrors::ConnectionReset, "Connection reset by peer."},
    {IdSocketErrors::NoBufferSpace, "No buffer space available."},
    {IdSocketErrors::AlreadyConnected, "Socket is already connected."},
    {IdSocketErrors::NotConnected, "Socket is not connected."},
    {IdSocketErrors::ShutDown, "Cannot send or receive after socket is closed."},
    {IdSocketErrors::TooManyReferences, "Too many references, cannot splice."},
    {IdSocketErrors::TimedOut, "Connection timed out."},
    {IdSocketErrors::ConnectionRefused, "Connection refused."},
    {IdSocketErrors::SymbolicLinkLoop, "Too many levels of symbolic links."},
    {IdSocketErrors::NameTooLong, "File name too long."},
    {IdSocketErrors::HostDown, "Host is down."},
    {IdSocketErrors::HostUnreachable, "No route to host."},
    {IdSocketErrors::DirectoryNotEmpty, "Directory not empty"},
    {IdSocketErrors::HostNotFound, "Host not found."},
};

// The resolver's failures: the name could not be turned into an address.
bool IsUnknownHost(int code)
{
    return code >= IdSocketErrors::HostNotFound && code <= IdSocketErrors::NoData;
}

// "host:port", an IPv6 address in brackets.
std::string PeerText(const std::string& host, int port)
{
    const bool ipv6 = host.find(':') != std::string::npos;
    return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

// The code's text in the current language, to follow a colon ("connection
// refused."); a code without a text is named by its number.
std::string Reason(int code)
{
    std::string reason = EIdSocketError::ErrorText(code);
    if (reason.empty()) {
        std::string message = EIdSocketError::FormatMessage(code);
        return message.substr(0, message.find_first_of("\r\n"));
    }
    reason = LoadResString(reason);
    if (reason[0] >= 'A' && reason[0] <= 'Z')
        reason[0] = static_cast<char>(reason[0] - 'A' + 'a');
    return reason;
}

} // namespace

void EIdSocketError::SetPeer(TIdSocketErrorStage stage, const std::string& host, int port)
{
    stage_ = stage;
    peerHost_ = host;
    peerPort_ = port;
    SetMessage(PeerMessage());
}

void EIdSocketError::Reword()
{
    SetMessage(NamesPeer() ? PeerMessage() : FormatMessage(lastError_));
}

std::string EIdSocketError::PeerMessage() const
{
    if (stage_ == seConnecting && IsUnknownHost(lastError_))
        return AsciiText::FillPlaceholders(LoadResString("Host not found: %s"), {peerHost_});
    const char* wording = stage_ == seConnecting ? "Could not connect to %s: %s" : "The connection to %s failed: %s";
    return AsciiText::FillPlaceholders(LoadResString(wording), {PeerText(peerHost_, peerPort_), Reason(lastError_)});
}

std::string EIdSocketError::ErrorText(int code)
{
    auto found = kErrorTexts.find(code);
    return found == kErrorTexts.end() ? std::string() : found->second;
}

// The message passes through the resource strings as one template, so a
// translation can reorder it; the code's text is looked up on its own.
std::string EIdSocketError::FormatMessage(int code)
{
    std::string text = LoadResString("Socket Error # %d\r\n%s");
    std::string reason = ErrorText(code);
    if (!reason.empty())
        reason = LoadResString(reason);
    for (auto [marker, value] : {std::pair<std::string, std::string>{"%d", std::to_string(code)}, {"%s", reason}}) {
        std::size_t at = text.find(marker);
        if (at != std::string::npos)
            text.replace(at, marker.size(), value);
    }
    return text;
}

void RaiseSocketError(int code)
{
    if (code == IdSocketErrors::NotASocket)
        throw EIdNotASocket(code);
    throw EIdSocketError(code);
}

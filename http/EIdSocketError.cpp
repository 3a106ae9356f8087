#include "http/EIdSocketError.h"

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

} // namespace

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

#include "grabber/TJvFtpUrlGrabberThread.h"

#include "grabber/internet/InternetApi.h"

namespace {

constexpr std::uint32_t kChunkSize = 1024;
// Reload and resynchronise, with the transfer type in the low bits.
constexpr std::uint32_t kAsciiFlags = 0x84000001;
constexpr std::uint32_t kBinaryFlags = 0x84000002;

} // namespace

// Only a manual proxy gets the proxy credentials, and on the session.
void TJvFtpUrlGrabberThread::PrepareSession(const TJvGrabberSettings& settings)
{
    if (settings.ProxyMode != pmManual)
        return;
    SetTextOption(handles_.session, INTERNET_OPTION_PROXY_USERNAME, settings.ProxyUserName);
    SetTextOption(handles_.session, INTERNET_OPTION_PROXY_PASSWORD, settings.ProxyPassword);
}

// The connection carries no context, so its status reaches no worker.
TInternetHandle* TJvFtpUrlGrabberThread::ConnectToServer(const TJvGrabberSettings& settings)
{
    TInternetHandle* connection =
        Connect(settings, INTERNET_SERVICE_FTP, settings.Passive ? INTERNET_FLAG_PASSIVE : 0, nullptr);
    if (connection)
        InternetSetStatusCallback(connection, &NetworkStatusCallback);
    return connection;
}

// The file is the one the connection's address names.
void TJvFtpUrlGrabberThread::Transfer(const TJvGrabberSettings& settings)
{
    handles_.transfer = FtpOpenFile(handles_.connection, nullptr, GENERIC_READ,
                                    settings.Mode == hmAscii ? kAsciiFlags : kBinaryFlags, nullptr);
    if (!handles_.transfer) {
        FailNetwork();
        return;
    }
    if (Terminated() || !CreateContentStream(settings))
        return;
    std::uint32_t high = 0;
    std::uint32_t low = FtpGetFileSize(handles_.transfer, &high);
    std::int64_t size = static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
    SetSize(size < 0 ? 0 : size);
    ReceiveTransfer(kChunkSize);
}

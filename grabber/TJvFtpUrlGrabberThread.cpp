#include "grabber/TJvFtpUrlGrabberThread.h"

#include "grabber/internet/InternetApi.h"
#include "grabber/TJvCustomUrlGrabber.h"

namespace {

constexpr std::uint32_t kChunkSize = 1024;
// Reload and resynchronise, with the transfer type in the low bits.
constexpr std::uint32_t kAsciiFlags = 0x84000001;
constexpr std::uint32_t kBinaryFlags = 0x84000002;

} // namespace

TJvFtpUrlGrabberThread::~TJvFtpUrlGrabberThread()
{
    Terminate();
    WaitFor();
}

void TJvFtpUrlGrabberThread::Grab()
{
    Handles handles;
    try {
        Fetch(handles, TakeSettings());
    } catch (...) {
        // A handler's exception ends the run here; the handles still close.
    }
    CloseHandles({&handles.file, &handles.connection, &handles.session});
}

void TJvFtpUrlGrabberThread::Fetch(Handles& handles, const TJvGrabberSettings& settings)
{
    TServerAddress address = ServerAddress(settings);
    if (!BeginConnecting(address))
        return;
    handles.session = OpenSession(settings);
    if (!handles.session) {
        Fail(LastResponseInfo());
        return;
    }
    if (settings.ProxyMode == pmManual) {
        InternetSetOption(handles.session, INTERNET_OPTION_PROXY_USERNAME, settings.ProxyUserName.c_str(),
            static_cast<std::uint32_t>(settings.ProxyUserName.size() + 1));
        InternetSetOption(handles.session, INTERNET_OPTION_PROXY_PASSWORD, settings.ProxyPassword.c_str(),
            static_cast<std::uint32_t>(settings.ProxyPassword.size() + 1));
    }
    handles.connection = InternetConnect(handles.session, address.host.c_str(), static_cast<std::uint16_t>(address.port),
        NoneWhenEmpty(address.userName), NoneWhenEmpty(address.password), INTERNET_SERVICE_FTP,
        settings.Passive ? INTERNET_FLAG_PASSIVE : 0, nullptr);
    if (handles.connection)
        InternetSetStatusCallback(handles.connection, &NetworkStatusCallback);
    if (Terminated())
        return;
    if (!handles.connection) {
        Fail(LastResponseInfo());
        return;
    }
    handles.file = FtpOpenFile(handles.connection, address.object.c_str(), GENERIC_READ,
        settings.Mode == hmAscii ? kAsciiFlags : kBinaryFlags, nullptr);
    if (!handles.file) {
        Fail(LastResponseInfo());
        return;
    }
    if (Terminated() || !CreateContentStream(settings))
        return;
    std::uint32_t high = 0;
    std::uint32_t low = FtpGetFileSize(handles.file, &high);
    std::int64_t size = static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
    SetSize(size < 0 ? 0 : size);
    SetStatus(gsGrabbing);
    TReadEnd end = ReadLoop(
        [&](char* buffer, std::uint32_t count, std::uint32_t& read) {
            return InternetReadFile(handles.file, buffer, count, &read);
        },
        kChunkSize);
    FinishRun(end, LastResponseInfo());
}

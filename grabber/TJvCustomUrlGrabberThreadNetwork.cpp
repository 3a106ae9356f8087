// The worker's frame for runs over the internet layer: the HTTP and FTP
// workers fill in only their protocol steps.
#include "grabber/TJvCustomUrlGrabberThread.h"

#include "grabber/TJvCustomUrlGrabber.h"
#include "grabber/internet/InternetApi.h"

#include <exception>
#include <utility>

void TJvCustomUrlGrabberThread::Grab()
{
    TJvGrabberSettings settings = TakeSettings();
    TServerAddress address = ServerAddress(settings);
    for (int retry = 1;; ++retry) {
        bool again = false;
        try {
            if (OpenConnection(settings, address))
                Transfer(settings, address);
            again = RetryWorthIt(settings, retry);
            // The failure is told before the handles close, as the layer's
            // closing notices follow it.
            if (!again)
                EndRun();
        } catch (...) {
            // A handler's exception ends the run here; the handles still close.
            again = false;
        }
        CloseHandles();
        if (!again || !WaitToRetry(settings, retry))
            return;
    }
}

std::string TJvCustomUrlGrabberThread::TServerAddress::Text(const std::string& marker) const
{
    return marker + host + ":" + std::to_string(port) + "/" + object;
}

bool TJvCustomUrlGrabberThread::OpenConnection(const TJvGrabberSettings& settings, const TServerAddress& address)
{
    BeginRun();
    // A port beyond 16 bits would otherwise reach some other port.
    if (address.port > 0xFFFF) {
        Fail("Invalid port number %s", {std::to_string(address.port)});
        return false;
    }
    handles_.session = OpenSession(settings);
    if (!handles_.session) {
        Fail(SessionFailureText());
        return false;
    }
    PrepareSession(settings);
    handles_.connection = ConnectToServer(address, settings);
    if (Terminated())
        return false;
    if (!handles_.connection) {
        FailNetwork(GetLastError());
        return false;
    }
    return true;
}

std::string TJvCustomUrlGrabberThread::SessionFailureText() const
{
    return LastResponseInfo();
}

void TJvCustomUrlGrabberThread::PrepareSession(const TJvGrabberSettings&) {}

TInternetHandle* TJvCustomUrlGrabberThread::ConnectToServer(const TServerAddress&, const TJvGrabberSettings&)
{
    return nullptr;
}

void TJvCustomUrlGrabberThread::Transfer(const TJvGrabberSettings&, const TServerAddress&) {}

TJvCustomUrlGrabberThread::TServerAddress TJvCustomUrlGrabberThread::ServerAddress(const TJvGrabberSettings& settings)
{
    TServerAddress address;
    TJvCustomUrlGrabber::ParseUrl(settings.Url, settings.Marker, address.host, address.object, address.userName,
                                  address.password, address.port);
    if (address.userName.empty())
        address.userName = settings.UserName;
    if (address.password.empty())
        address.password = settings.Password;
    if (address.port == 0)
        address.port = settings.Port;
    return address;
}

TInternetHandle* TJvCustomUrlGrabberThread::OpenSession(const TJvGrabberSettings& settings)
{
    switch (settings.ProxyMode) {
    case pmNoProxy: return InternetOpen(settings.Agent.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    case pmSysConfig: return InternetOpen(settings.Agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    case pmManual:
        return InternetOpen(settings.Agent.c_str(), INTERNET_OPEN_TYPE_PROXY, settings.ProxyAddresses.c_str(),
                            settings.ProxyIgnoreList.c_str(), 0);
    }
    return nullptr;
}

TInternetHandle* TJvCustomUrlGrabberThread::Connect(const TServerAddress& address, std::uint32_t service,
                                                    std::uint32_t flags, void* context)
{
    // The network layer takes "none" where a text is empty.
    auto noneWhenEmpty = [](const std::string& text) { return text.empty() ? nullptr : text.c_str(); };
    return InternetConnect(handles_.session, address.host.c_str(), static_cast<std::uint16_t>(address.port),
                           noneWhenEmpty(address.userName), noneWhenEmpty(address.password), service, flags, context);
}

void TJvCustomUrlGrabberThread::SetTextOption(TInternetHandle* handle, std::uint32_t option, const std::string& text)
{
    InternetSetOption(handle, option, text.c_str(), static_cast<std::uint32_t>(text.size() + 1));
}

void TJvCustomUrlGrabberThread::ReceiveTransfer(std::uint32_t chunkSize)
{
    SetStatus(gsGrabbing);
    TReadEnd end =
        ReadLoop([&](char* buffer, std::uint32_t size,
                     std::uint32_t& read) { return InternetReadFile(handles_.transfer, buffer, size, &read); },
                 chunkSize);
    FinishRun(end, LastResponseInfo());
}

void TJvCustomUrlGrabberThread::NetworkStatusCallback(TInternetHandle*, void* context, std::uint32_t status,
                                                      const void*, std::uint32_t)
{
    if (!context)
        return;
    auto* worker = static_cast<TJvCustomUrlGrabberThread*>(context);
    worker->LastStatus = status;
    worker->HandOverProgress();
    worker->HandOverStatus();
}

std::string TJvCustomUrlGrabberThread::LastResponseInfo()
{
    char text[1024];
    std::uint32_t length = sizeof text;
    std::uint32_t error = 0;
    if (!InternetGetLastResponseInfo(&error, text, &length))
        return {};
    return std::string(text, length);
}

void TJvCustomUrlGrabberThread::CloseHandles()
{
    std::exception_ptr raised;
    for (TInternetHandle** handle : {&handles_.transfer, &handles_.connection, &handles_.session}) {
        if (!*handle)
            continue;
        try {
            if (!InternetCloseHandle(std::exchange(*handle, nullptr))) {
                ErrorText = LastResponseInfo();
                ErrorArguments.clear();
                ErrorDetail.clear();
                HandOverError();
            }
        } catch (...) {
            if (!raised)
                raised = std::current_exception();
        }
    }
    if (raised)
        std::rethrow_exception(raised);
}

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
    for (int retry = 1;; ++retry) {
        bool again = false;
        try {
            if (OpenConnection(settings))
                Transfer(settings);
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

bool TJvCustomUrlGrabberThread::OpenConnection(const TJvGrabberSettings& settings)
{
    BeginRun();
    // A port beyond 16 bits would otherwise reach some other port.
    if (settings.Port > 0xFFFF) {
        Fail(fkRefused, "Invalid port number %s", {std::to_string(settings.Port)});
        return false;
    }
    if (!settings.Address) {
        Fail(InternetFailure(ERROR_INTERNET_INVALID_URL));
        return false;
    }
    handles_.session = OpenSession(settings);
    if (!handles_.session) {
        FailNetwork();
        return false;
    }
    LimitReceiveRate(settings);
    PrepareSession(settings);
    handles_.connection = ConnectToServer(settings);
    if (Terminated())
        return false;
    if (!handles_.connection) {
        FailNetwork();
        return false;
    }
    return true;
}

void TJvCustomUrlGrabberThread::PrepareSession(const TJvGrabberSettings&) {}

// On the session, so that every transfer of the run keeps to it.
void TJvCustomUrlGrabberThread::LimitReceiveRate(const TJvGrabberSettings& settings)
{
    if (settings.ReceiveRateLimit <= 0)
        return;
    const auto limit = static_cast<std::uint64_t>(settings.ReceiveRateLimit);
    InternetSetOption(handles_.session, INTERNET_OPTION_RECEIVE_RATE_LIMIT, &limit, sizeof limit);
}

TInternetHandle* TJvCustomUrlGrabberThread::ConnectToServer(const TJvGrabberSettings&)
{
    return nullptr;
}

void TJvCustomUrlGrabberThread::Transfer(const TJvGrabberSettings&) {}

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

TInternetHandle* TJvCustomUrlGrabberThread::Connect(const TJvGrabberSettings& settings, std::uint32_t service,
                                                    std::uint32_t flags, void* context)
{
    // The network layer takes "none" where a text is empty.
    auto noneWhenEmpty = [](const std::string& text) { return text.empty() ? nullptr : text.c_str(); };
    const TWebAddress server = *settings.ServerAddress();
    return InternetConnect(handles_.session, server, noneWhenEmpty(server.UserName()), noneWhenEmpty(server.Password()),
                           service, flags, context);
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
    FinishRun(end, LastInternetFailure());
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

void TJvCustomUrlGrabberThread::CloseHandles()
{
    std::exception_ptr raised;
    for (TInternetHandle** handle : {&handles_.transfer, &handles_.connection, &handles_.session}) {
        if (!*handle)
            continue;
        try {
            if (!InternetCloseHandle(std::exchange(*handle, nullptr)))
                HandOverError(LastInternetFailure());
        } catch (...) {
            if (!raised)
                raised = std::current_exception();
        }
    }
    if (raised)
        std::rethrow_exception(raised);
}

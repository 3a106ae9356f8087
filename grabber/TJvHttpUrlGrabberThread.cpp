#include "grabber/TJvHttpUrlGrabberThread.h"

#include "grabber/internet/InternetApi.h"
#include "grabber/TJvHttpUrlGrabber.h"
#include "runtime/AsciiText.h"

#include <exception>
#include <optional>
#include <utility>

namespace {

constexpr std::uint32_t kChunkSize = 1025;
constexpr std::uint32_t kHeaderBufferSize = 1024;

std::optional<std::string> QueryHeader(HINTERNET request, std::uint32_t info)
{
    char buffer[kHeaderBufferSize];
    std::uint32_t length = kHeaderBufferSize;
    std::uint32_t index = 0;
    if (!HttpQueryInfo(request, info, buffer, &length, &index))
        return std::nullopt;
    return std::string(buffer, length);
}

// A Content-Length: decimal digits that fit a signed 64-bit number.
std::optional<std::int64_t> ContentLength(const std::string& text)
{
    std::optional<std::uint64_t> value = AsciiText::ParseUnsigned(text);
    if (!value || *value > static_cast<std::uint64_t>(INT64_MAX))
        return std::nullopt;
    return static_cast<std::int64_t>(*value);
}

} // namespace

TJvHttpUrlGrabberThread::~TJvHttpUrlGrabberThread()
{
    Terminate();
    WaitFor();
}

void TJvHttpUrlGrabberThread::Grab()
{
    Handles handles;
    try {
        Fetch(handles, TakeSettings());
    } catch (...) {
        // A handler's exception ends the run here; the handles still close.
    }
    CloseHandles({&handles.request, &handles.connection, &handles.session});
}

void TJvHttpUrlGrabberThread::Fetch(Handles& handles, const TJvGrabberSettings& settings)
{
    TServerAddress address = ServerAddress(settings);
    if (!BeginConnecting(address))
        return;
    handles.session = OpenSession(settings);
    if (!handles.session) {
        Fail(SysErrorMessage(GetLastError()));
        return;
    }
    InternetSetStatusCallback(handles.session, &NetworkStatusCallback);
    handles.connection = InternetConnect(handles.session, address.host.c_str(), static_cast<std::uint16_t>(address.port),
        NoneWhenEmpty(address.userName), NoneWhenEmpty(address.password), INTERNET_SERVICE_HTTP, 0, this);
    if (Terminated())
        return;
    if (!handles.connection) {
        Fail(LastResponseInfo());
        return;
    }
    if (!OpenRequest(handles, settings, address.object))
        return;
    if (!HttpSendRequest(handles.request, nullptr, 0, nullptr, 0)) {
        Fail(LastResponseInfo());
        return;
    }
    if (Terminated() || !ExamineResponse(handles.request) || Terminated())
        return;
    if (!CreateContentStream(settings))
        return;
    SetStatus(gsGrabbing);
    TReadEnd end = ReadLoop(
        [&](char* buffer, std::uint32_t size, std::uint32_t& read) {
            return InternetReadFile(handles.request, buffer, size, &read);
        },
        kChunkSize);
    FinishRun(end, LastResponseInfo());
}

bool TJvHttpUrlGrabberThread::OpenRequest(Handles& handles, const TJvGrabberSettings& settings,
    const std::string& object)
{
    std::uint32_t flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_PRAGMA_NOCACHE;
    // The secure grabber shares this worker; its requests must go over TLS.
    if (settings.Marker == "https://")
        flags |= INTERNET_FLAG_SECURE;
    handles.request = HttpOpenRequest(handles.connection, "GET", object.c_str(), "HTTP/1.0", settings.Referer.c_str(),
        nullptr, flags, nullptr);
    if (!handles.request) {
        Fail(LastResponseInfo());
        return false;
    }
    if (settings.ProxyMode != pmNoProxy) {
        auto setText = [&](std::uint32_t option, const std::string& text) {
            InternetSetOption(handles.request, option, text.c_str(), static_cast<std::uint32_t>(text.size() + 1));
        };
        setText(INTERNET_OPTION_PROXY_USERNAME, settings.ProxyUserName);
        setText(INTERNET_OPTION_PROXY_PASSWORD, settings.ProxyPassword);
    }
    return true;
}

bool TJvHttpUrlGrabberThread::ExamineResponse(TInternetHandle* request)
{
    std::string code = QueryHeader(request, HTTP_QUERY_STATUS_CODE).value_or("");
    static_cast<TJvHttpUrlGrabber*>(Grabber())->SetStatusCode(code);
    // Only a success carries the resource; an error page is not the video.
    if (code.size() != 3 || code[0] != '2') {
        std::string reason = QueryHeader(request, HTTP_QUERY_STATUS_TEXT).value_or("");
        Fail(code.empty() ? "No valid HTTP response" : "HTTP " + code + (reason.empty() ? "" : " " + reason));
        return false;
    }
    std::optional<std::string> lengthText = QueryHeader(request, HTTP_QUERY_CONTENT_LENGTH);
    if (!lengthText) {
        SetSize(0);
        return true;
    }
    std::optional<std::int64_t> length = ContentLength(*lengthText);
    if (!length) {
        Fail("Invalid Content-Length \"%s\"", {*lengthText});
        return false;
    }
    SetSize(*length);
    return true;
}

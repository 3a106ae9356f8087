#include "grabber/TJvHttpUrlGrabberThread.h"

#include "grabber/TJvHttpUrlGrabber.h"
#include "grabber/internet/InternetApi.h"
#include "runtime/AsciiText.h"

#include <optional>

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

// A session that cannot be opened is explained by the system's text for
// the last error.
std::string TJvHttpUrlGrabberThread::SessionFailureText() const { return SysErrorMessage(GetLastError()); }

void TJvHttpUrlGrabberThread::PrepareSession(const TJvGrabberSettings&)
{
    InternetSetStatusCallback(handles_.session, &NetworkStatusCallback);
}

TInternetHandle* TJvHttpUrlGrabberThread::ConnectToServer(const TServerAddress& address, const TJvGrabberSettings&)
{
    return Connect(address, INTERNET_SERVICE_HTTP, 0, this);
}

void TJvHttpUrlGrabberThread::Transfer(const TJvGrabberSettings& settings, const std::string& object)
{
    if (!OpenRequest(settings, object))
        return;
    if (!HttpSendRequest(handles_.transfer, nullptr, 0, nullptr, 0)) {
        Fail(LastResponseInfo());
        return;
    }
    if (Terminated() || !ExamineResponse(settings) || Terminated())
        return;
    if (!CreateContentStream(settings))
        return;
    ReceiveTransfer(kChunkSize);
}

bool TJvHttpUrlGrabberThread::OpenRequest(const TJvGrabberSettings& settings, const std::string& object)
{
    std::uint32_t flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_PRAGMA_NOCACHE;
    // The secure grabber shares this worker; its requests must go over TLS.
    if (settings.Marker == "https://")
        flags |= INTERNET_FLAG_SECURE;
    handles_.transfer = HttpOpenRequest(handles_.connection, "GET", object.c_str(), "HTTP/1.0",
        settings.Referer.c_str(), nullptr, flags, nullptr);
    if (!handles_.transfer) {
        Fail(LastResponseInfo());
        return false;
    }
    if (settings.ProxyMode != pmNoProxy) {
        SetTextOption(handles_.transfer, INTERNET_OPTION_PROXY_USERNAME, settings.ProxyUserName);
        SetTextOption(handles_.transfer, INTERNET_OPTION_PROXY_PASSWORD, settings.ProxyPassword);
    }
    return true;
}

bool TJvHttpUrlGrabberThread::ExamineResponse(const TJvGrabberSettings& settings)
{
    std::string code = QueryHeader(handles_.transfer, HTTP_QUERY_STATUS_CODE).value_or("");
    static_cast<TJvHttpUrlGrabber*>(Grabber())->SetStatusCode(code);
    // Only a success carries the resource; an error page is not the video.
    if (code.size() != 3 || code[0] != '2') {
        std::string reason = QueryHeader(handles_.transfer, HTTP_QUERY_STATUS_TEXT).value_or("");
        Fail(code.empty() ? "No valid HTTP response" : "HTTP " + code + (reason.empty() ? "" : " " + reason));
        return false;
    }
    if (settings.RefuseWebPages && IsWebPage()) {
        Fail("The address leads to a web page, not to a file.");
        return false;
    }
    std::optional<std::string> lengthText = QueryHeader(handles_.transfer, HTTP_QUERY_CONTENT_LENGTH);
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

bool TJvHttpUrlGrabberThread::IsWebPage()
{
    std::string type = QueryHeader(handles_.transfer, HTTP_QUERY_CONTENT_TYPE).value_or("");
    std::string mediaType = AsciiText::Trim(std::string_view(type).substr(0, type.find(';')));
    return AsciiText::SameText(mediaType, "text/html") || AsciiText::SameText(mediaType, "application/xhtml+xml");
}
